// ostra-plc-cli: the core without a window, for scripts and CI.
#include <iostream>
#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"

namespace {

const char* const kUsage =
    "usage: ostra-plc-cli COMMAND [OPTIONS] ARGS...\n"
    "commands:\n"
    "  dump [--json] FILE             list a sheet (.oxd), compiled image (.oxb), control\n"
    "                                 file (.oxp), library (.oxl) or processors.lst\n"
    "  resave SHEET [OUT]             load a sheet and save it again\n"
    "  export [--format svg|pdf|png] [--dpi N] SHEET OUT\n"
    "                                 draw the sheet as it prints\n"
    "  check [--save] SHEET...        wire check of each sheet (exit 1 when one fails)\n"
    "  compile [--check] PROJECT_DIR  open the project, optionally check and save every\n"
    "                                 sheet, compile, write listings, image and control file\n"
    "                                 check and compile take --problems (one\n"
    "                                 \"sheet:x,y: severity: text\" line per finding) or\n"
    "                                 --json (the findings as JSON; messages to stderr)\n"
    "  connect|upload|verify PROJECT_DIR\n"
    "                                 the controller operations; the line is the\n"
    "                                 project's COM port, --port N, --device PATH or\n"
    "                                 --simulator, with --box, --slot, --echo;\n"
    "                                 upload stops the controller only with --yes\n"
    "  monitor [--ticks N] [--csv FILE] PROJECT_DIR  print the named signals' values every\n"
    "                                 100 ms; --csv also writes them with their times\n"
    "  stats PROJECT_DIR              processor information and link statistics\n"
    "  kfactors PROJECT_DIR KFFILE [--set INDEX=VALUE]... [--load-start-values]\n"
    "                                 read the K-factor table, optionally write it\n"
    "options accepted by every command: --library-dir DIR, --yes\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace ostra::cli;
    Options opt;
    std::string error;
    if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (!ParseOptions(argc, argv, opt, error)) {
        std::cerr << kUsage;
        return CannotRun(error);
    }
    if (opt.command == "dump") return Dump(opt);
    if (opt.command == "resave") return Resave(opt);
    if (opt.command == "check") return Check(opt);
    if (opt.command == "compile") return Compile(opt);
    if (opt.command == "export") return Export(opt);
    if (opt.command == "connect" || opt.command == "upload" || opt.command == "verify" ||
        opt.command == "monitor" || opt.command == "stats" || opt.command == "kfactors")
        return Target(opt);
    if (opt.command == "help") {
        std::cout << kUsage;
        return kExitOk;
    }
    std::cerr << kUsage;
    return CannotRun("unknown command " + opt.command);
}
