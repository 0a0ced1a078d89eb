// ostra-plc-cli: the core without a window, for scripts and CI.
#include <cctype>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/CliMessageBox.h"
#include "cli/Dump.h"
#include "cli/Options.h"
#include "model/COstra_PLCDoc.h"
#include "platform/FileIO.h"
#include "project/CFuncLibrary.h"
#include "project/CProjCtrl.h"
#include "project/ProcessorList.h"

namespace fs = std::filesystem;
using namespace ostra;

namespace {

constexpr int kOk = 0;
constexpr int kCannotRun = 2;

const char* const kUsage =
    "usage: ostra-plc-cli COMMAND [OPTIONS] ARGS...\n"
    "commands:\n"
    "  dump [--json] FILE        list a sheet (.oxd), control file (.oxp), library (.oxl)\n"
    "                            or processor list (processors.lst)\n"
    "  resave SHEET [OUT]        load a sheet and save it again\n"
    "options accepted by every command: --library-dir DIR\n";

int CannotRun(const std::string& reason) {
    std::cerr << "ostra-plc-cli: " << reason << "\n";
    return kCannotRun;
}

std::string LowerExt(const fs::path& p) {
    std::string e = p.extension().string();
    for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return e;
}

int Dump(const cli::Options& opt) {
    if (opt.args.size() != 1) return CannotRun("dump needs exactly one FILE");
    const fs::path file = opt.args[0];
    const bool json = opt.Has("--json");
    const std::string ext = LowerExt(file);
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(file, bytes, &error)) return CannotRun(file.string() + ": " + error);

    if (ext == ".oxd") {
        COstra_PLCDoc doc;
        const LoadResult r = doc.LoadFromBytes(bytes);
        if (!r.ok) return CannotRun(file.string() + ": not a valid sheet: " + r.Describe());
        std::cout << cli::DumpSheet(doc, json);
    } else if (ext == ".oxp") {
        CProjCtrl ctrl;
        ctrl.Read(bytes);
        std::cout << cli::DumpControl(ctrl, json);
    } else if (ext == ".oxl") {
        CFuncLibrary lib;
        lib.Parse(bytes);
        std::cout << cli::DumpLibrary(lib, json);
    } else if (ext == ".lst" && file.filename().string() != "wires.lst" &&
               file.filename().string() != "fblock.lst") {
        CProcTable table;
        table.ParseProcessorList(bytes);
        std::cout << cli::DumpProcessors(table, json);
    } else {
        return CannotRun(file.string() + ": unknown kind of file");
    }
    return kOk;
}

int Resave(const cli::Options& opt) {
    if (opt.args.empty() || opt.args.size() > 2) return CannotRun("resave needs SHEET [OUT]");
    const fs::path in = opt.args[0];
    const fs::path out = opt.args.size() == 2 ? fs::path(opt.args[1]) : in;
    COstra_PLCDoc doc;
    const LoadResult r = doc.OnOpenDocument(in);
    if (!r.ok) return CannotRun(in.string() + ": " + r.Describe());
    std::string error;
    if (!doc.OnSaveDocument(out, &error))
        return CannotRun(out.string() + ": cannot be written: " + error);
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    cli::Options opt;
    std::string error;
    if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return kOk;
    }
    if (!cli::ParseOptions(argc, argv, opt, error)) {
        std::cerr << kUsage;
        return CannotRun(error);
    }
    if (opt.command == "dump") return Dump(opt);
    if (opt.command == "resave") return Resave(opt);
    if (opt.command == "help") {
        std::cout << kUsage;
        return kOk;
    }
    std::cerr << kUsage;
    return CannotRun("unknown command " + opt.command);
}
