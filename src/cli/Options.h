// Command-line options of ostra-plc-cli: options may stand before or after the
// arguments; each known option either is a flag or takes one value.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace ostra::cli {

struct Options {
    std::string command;
    std::vector<std::string> args;
    std::map<std::string, std::vector<std::string>> values;  // option -> values given
    std::vector<std::string> flags;

    bool Has(const std::string& flag) const;
    // The last value given for `option`, or `fallback`.
    std::string Value(const std::string& option, const std::string& fallback = {}) const;
};

// Parses argv; on a usage error returns false with a one-line reason.
bool ParseOptions(int argc, char** argv, Options& out, std::string& error);

}  // namespace ostra::cli
