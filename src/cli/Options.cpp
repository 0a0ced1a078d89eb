// Option parsing for ostra-plc-cli.
#include "cli/Options.h"

#include <algorithm>
#include <set>

namespace ostra::cli {
namespace {

const std::set<std::string> kValueOptions = {"--library-dir", "--format", "--port",  "--device",
                                             "--box",         "--slot",   "--ticks", "--set",
                                             "--dpi",         "--csv"};
const std::set<std::string> kFlagOptions = {
    "--json",  "--save",   "--check", "--yes",
    "--simulator", "--echo", "--load-start-values", "--problems"};

}  // namespace

bool Options::Has(const std::string& flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::string Options::Value(const std::string& option, const std::string& fallback) const {
    const auto it = values.find(option);
    return it == values.end() || it->second.empty() ? fallback : it->second.back();
}

bool ParseOptions(int argc, char** argv, Options& out, std::string& error) {
    bool onlyArgs = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (!onlyArgs && a == "--") {
            onlyArgs = true;
            continue;
        }
        if (!onlyArgs && a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string value;
            bool inlineValue = false;
            const auto eq = a.find('=');
            if (eq != std::string::npos) {
                value = a.substr(eq + 1);
                a = a.substr(0, eq);
                inlineValue = true;
            }
            if (kValueOptions.count(a)) {
                if (!inlineValue) {
                    if (i + 1 >= argc) {
                        error = "option " + a + " needs a value";
                        return false;
                    }
                    value = argv[++i];
                }
                out.values[a].push_back(value);
            } else if (kFlagOptions.count(a) && !inlineValue) {
                out.flags.push_back(a);
            } else {
                error = "unknown option " + a;
                return false;
            }
            continue;
        }
        if (out.command.empty())
            out.command = a;
        else
            out.args.push_back(a);
    }
    if (out.command.empty()) {
        error = "no command given";
        return false;
    }
    return true;
}

}  // namespace ostra::cli
