// Text-mode line splitting with a length limit.
#include "project/TextLines.h"

#include <algorithm>

namespace ostra {

std::vector<std::string> SplitTextLines(const std::string& bytes, std::size_t maxChars) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t eol = bytes.find('\n', pos);
        const bool hasEnd = eol != std::string::npos;
        if (!hasEnd) eol = bytes.size();
        std::size_t len = eol - pos;
        if (hasEnd && len > 0 && bytes[eol - 1] == '\r') --len;  // text mode drops the CR of CR LF
        if (len == 0) {
            lines.emplace_back();
        } else {
            for (std::size_t off = 0; off < len; off += maxChars)
                lines.push_back(bytes.substr(pos + off, std::min(maxChars, len - off)));
        }
        pos = eol + 1;
    }
    return lines;
}

}  // namespace ostra
