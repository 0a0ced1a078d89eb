// Line splitting for the 8-bit text files (library, processor list, control
// file): a CR LF pair counts as one line end, as a text-mode read sees it, and a
// line longer than `maxChars` continues as further lines of at most that many.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ostra {

// Lines without their line ends. A final line without a line end counts.
std::vector<std::string> SplitTextLines(const std::string& bytes, std::size_t maxChars);

}  // namespace ostra
