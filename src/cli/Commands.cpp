// Sheet, project and file commands of ostra-plc-cli.
#include "cli/Commands.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "cli/CliMessageBox.h"
#include "cli/Dump.h"
#include "comm/CKFactorTable.h"
#include "comm/COxComm.h"
#include "comm/COxMonitor.h"
#include "comm/TrendLog.h"
#include "comm/CProcStats.h"
#include "comm/CTargetOps.h"
#include "compiler/DownloadRecords.h"
#include "model/COstra_PLCDoc.h"
#include "model/SheetDrawing.h"
#include "platform/FileIO.h"
#include "platform/ISettings.h"
#include "platform/ProgramFolder.h"
#include "platform/RunProgram.h"
#include "platform/Scan.h"
#include "project/CFuncLibrary.h"
#include "project/COstraProject.h"
#include "project/CProjCtrl.h"
#include "project/ProcessorList.h"
#include "project/Problems.h"
#include "sim/SimPort.h"
#ifndef _WIN32
#include "platform/posix/PosixSerialPort.h"
#endif

namespace ostra::cli {

namespace fs = std::filesystem;

namespace {

std::string LowerExt(const fs::path& p) {
    std::string e = p.extension().string();
    for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return e;
}

}  // namespace

// Opens a project folder as the Folder command does, with the program folder
// and the processor list of the command line.
void OpenProject(const Options& opt, COstraProject& project, const fs::path& dir) {
    project.ProgramFolder =
        FindProgramFolder(opt.Value("--library-dir"), ExecutableFolder(), OSTRA_DATA_DIR);
    project.ProcTable.ReadProcessorList("processors.lst");
    project.OpenProjectFolder(dir / kProjectControlFile);
}

int CannotRun(const std::string& reason) {
    std::cerr << "ostra-plc-cli: " << reason << "\n";
    return kExitCannotRun;
}

int Dump(const Options& opt) {
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
        std::cout << DumpSheet(doc, json);
    } else if (ext == ".oxb") {
        DownloadTables tables;
        if (!LoadImage(bytes, tables, &error))
            return CannotRun(file.string() + ": not a valid compiled image: " + error);
        std::cout << DumpImage(tables, json);
    } else if (ext == ".oxp") {
        CProjCtrl ctrl;
        ctrl.Read(bytes);
        std::cout << DumpControl(ctrl, json);
    } else if (ext == ".oxl") {
        CFuncLibrary lib;
        lib.Parse(bytes);
        std::cout << DumpLibrary(lib, json);
    } else if (ext == ".lst" && file.filename().string() != "wires.lst" &&
               file.filename().string() != "fblock.lst") {
        CProcTable table;
        table.ParseProcessorList(bytes);
        std::cout << DumpProcessors(table, json);
    } else {
        return CannotRun(file.string() + ": unknown kind of file");
    }
    return kExitOk;
}

int Resave(const Options& opt) {
    if (opt.args.empty() || opt.args.size() > 2) return CannotRun("resave needs SHEET [OUT]");
    const fs::path in = opt.args[0];
    const fs::path out = opt.args.size() == 2 ? fs::path(opt.args[1]) : in;
    COstra_PLCDoc doc;
    const LoadResult r = doc.OnOpenDocument(in);
    if (!r.ok) return CannotRun(in.string() + ": " + r.Describe());
    std::string error;
    if (!doc.OnSaveDocument(out, &error))
        return CannotRun(out.string() + ": cannot be written: " + error);
    return kExitOk;
}

int Export(const Options& opt) {
    if (opt.args.size() != 2) return CannotRun("export needs SHEET OUT");
    const fs::path in = opt.args[0];
    const fs::path out = opt.args[1];
    std::string format = opt.Value("--format");
    if (format.empty()) {
        format = LowerExt(out);
        if (!format.empty()) format.erase(0, 1);
    }
    if (format != "svg" && format != "pdf" && format != "png")
        return CannotRun("unknown export format \"" + format + "\" (svg, pdf or png)");
    std::string dpi = "150";
    if (opt.values.count("--dpi")) {
        dpi = opt.Value("--dpi");
        char* end = nullptr;
        const long v = std::strtol(dpi.c_str(), &end, 10);
        if (format != "png" || dpi.empty() || *end != '\0' || v < 30 || v > 1200)
            return CannotRun("--dpi " + dpi + ": a PNG's resolution, from 30 to 1200 dots per inch");
    }
    if (format != "svg") {
        // Drawn by the Qt helper next to this program; the sheet is read here
        // first so that a damaged file gets the same message as for SVG.
        COstra_PLCDoc doc;
        const LoadResult r = doc.OnOpenDocument(in);
        if (!r.ok) return CannotRun(in.string() + ": " + r.Describe());
#ifdef _WIN32
        const fs::path helper = ExecutableFolder() / "ostra-plc-export.exe";
#else
        const fs::path helper = ExecutableFolder() / "ostra-plc-export";
#endif
        std::error_code ec;
        if (!fs::exists(helper, ec))
            return CannotRun(format + " export needs " + helper.string() +
                             ", which is built with Qt; SVG export works without it");
        std::string error;
        const int code = RunProgram(helper, {in.string(), out.string(), format, dpi}, &error);
        if (code < 0) return CannotRun(error);
        return code == 0 ? kExitOk : kExitCannotRun;
    }
    COstra_PLCDoc doc;
    const LoadResult r = doc.OnOpenDocument(in);
    if (!r.ok) return CannotRun(in.string() + ": " + r.Describe());
    std::string error;
    if (!WriteFileAtomic(out, SheetAsSvg(doc), &error))
        return CannotRun(out.string() + ": cannot be written: " + error);
    return kExitOk;
}

namespace {

// With --json the messages go to standard error, so that standard output is
// the JSON document alone.
std::ostream& MessageStream(const Options& opt) { return opt.Has("--json") ? std::cerr : std::cout; }

void ReportProblems(const Options& opt, const std::vector<Problem>& rows, bool passed) {
    if (opt.Has("--json"))
        std::cout << ProblemsJson(rows, passed);
    else if (opt.Has("--problems"))
        std::cout << ProblemLines(rows);
}

}  // namespace

int Check(const Options& opt) {
    if (opt.args.empty()) return CannotRun("check needs at least one SHEET");
    std::ostream& out = MessageStream(opt);
    CliMessageBox msg(out, opt.Has("--yes"));
    // Every sheet is read first, so that nothing is checked when one cannot be.
    std::vector<std::unique_ptr<COstra_PLCDoc>> docs;
    for (const std::string& path : opt.args) {
        auto doc = std::make_unique<COstra_PLCDoc>();
        const LoadResult r = doc->OnOpenDocument(path);
        if (!r.ok) return CannotRun(path + ": " + r.Describe());
        docs.push_back(std::move(doc));
    }
    bool allPassed = true;
    std::vector<Problem> rows;
    std::vector<const COstra_PLCDoc*> sheets;
    for (auto& doc : docs) {
        out << "== " << doc->pathName.string() << "\n";
        const WireCheckResult r = doc->WireCheck(msg);
        allPassed = allPassed && r.passed;
        const std::vector<Problem> found = CheckProblems(*doc);
        rows.insert(rows.end(), found.begin(), found.end());
        sheets.push_back(doc.get());
        if (opt.Has("--save")) {
            std::string error;
            if (!doc->OnSaveDocument(doc->pathName, &error))
                return CannotRun(doc->pathName.string() + ": cannot be written: " + error);
        }
    }
    const std::vector<Problem> warnings = SheetWarnings(sheets);
    rows.insert(rows.end(), warnings.begin(), warnings.end());
    ReportProblems(opt, rows, allPassed);
    return allPassed ? kExitOk : kExitFailed;
}

int Compile(const Options& opt) {
    if (opt.args.size() != 1) return CannotRun("compile needs exactly one PROJECT_DIR");
    std::error_code ec;
    const fs::path dir = fs::absolute(opt.args[0], ec);
    if (ec || !fs::is_directory(dir, ec)) return CannotRun(opt.args[0] + ": not a folder");

    std::ostream& out = MessageStream(opt);
    CliMessageBox msg(out, opt.Has("--yes"));
    MemorySettings settings;
    COstraProject project(msg, settings, fs::current_path(ec));
    OpenProject(opt, project, dir);
    if (!project.UnopenedSheets.empty()) {
        // The outputs of the last good compile stay as they are.
        out << "Compile refused: the sheet " << project.UnopenedSheets.front()
                  << " cannot be opened\n";
        return kExitFailed;
    }

    bool checked = true;
    std::vector<Problem> rows;
    if (opt.Has("--check")) {
        for (auto& sheet : project.Sheets) {
            out << "== " << sheet->pathName.filename().string() << "\n";
            checked = project.WireCheckSheet(*sheet).passed && checked;
            const std::vector<Problem> found = CheckProblems(*sheet);
            rows.insert(rows.end(), found.begin(), found.end());
            std::string error;
            if (!sheet->OnSaveDocument(sheet->pathName, &error))
                return CannotRun(sheet->pathName.string() + ": cannot be written: " + error);
        }
    }
    project.CheckPlcFull();
    project.CompileAll();
    const bool passed = checked && project.ProjCtrl.Compile == 1;
    const std::vector<Problem> found = CompileProblems(project);
    rows.insert(rows.end(), found.begin(), found.end());
    std::vector<const COstra_PLCDoc*> sheets;
    for (const auto& sheet : project.Sheets) sheets.push_back(sheet.get());
    const std::vector<Problem> warnings = SheetWarnings(sheets);
    rows.insert(rows.end(), warnings.begin(), warnings.end());
    ReportProblems(opt, rows, passed);
    return passed ? kExitOk : kExitFailed;
}

namespace {

// "COM n" as the command line says: --simulator, --device PATH, or the
// system's port for the number.
class CliPorts : public IPortProvider {
  public:
    explicit CliPorts(const Options& opt) : opt_(opt) {}
    std::string DeviceFor(int portNumber) override {
        if (opt_.Has("--simulator")) return "simulator";
        const std::string device = opt_.Value("--device");
        if (!device.empty()) return device;
#ifdef _WIN32
        return "\\\\.\\COM" + std::to_string(portNumber);
#else
        return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
    }
    std::unique_ptr<ISerialPort> Create(const std::string& device) override {
        if (device == "simulator") {
            if (!sim_) sim_ = std::make_unique<sim::CSimController>();
            return std::make_unique<sim::SimPort>(*sim_);
        }
#ifndef _WIN32
        return std::make_unique<PosixSerialPort>();
#else
        return nullptr;
#endif
    }

  private:
    const Options& opt_;
    std::unique_ptr<sim::CSimController> sim_;
};

// The Comm Port dialog filled from the options.
class CliPortDialog : public ICommPortDialog {
  public:
    explicit CliPortDialog(const Options& opt) : opt_(opt) {}
    bool Show(int& portNumber, bool& echo, int32_t& box, int32_t& slot) override {
        auto number = [&](const char* option, int32_t& field) {
            const std::string v = opt_.Value(option);
            if (!v.empty()) field = static_cast<int32_t>(std::strtol(v.c_str(), nullptr, 10));
        };
        int32_t port = portNumber;
        number("--port", port);
        portNumber = port;
        if (opt_.Has("--echo")) echo = true;
        number("--box", box);
        number("--slot", slot);
        return true;
    }

  private:
    const Options& opt_;
};

// Progress on standard output, one line per operation.
class CliProgress : public IProgress {
  public:
    void Begin(const std::string& operation, int range) override {
        std::cout << operation << " (" << range << ")\n";
    }
    void Step() override {}
    void End() override {}
};

volatile std::sig_atomic_t interrupted = 0;
void OnInterrupt(int) {
    interrupted = 1;
}

// Monitor mode without a window: every monitored signal of every sheet,
// printed at each tick that brought values.
class NoTimer : public IMonitorTimer {
  public:
    bool Start(int) override { return true; }
    void Stop() override {}
};

int Monitor(const Options& opt, COstraProject& project, COxComm& link, ILinkClock& clock) {
    std::vector<int32_t> signals;
    for (const auto& sheet : project.Sheets)
        for (int32_t n : COxMonitor::CollectMonSignals(*sheet, project.Tables))
            if (std::find(signals.begin(), signals.end(), n) == signals.end()) signals.push_back(n);
    std::sort(signals.begin(), signals.end());
    if (signals.empty()) {
        std::cout << "No named signals to monitor\n";
        return kExitOk;
    }
    COxMonitor monitor;
    monitor.monitoring = true;
    monitor.monSignals = signals;
    monitor.blocks = COxMonitor::MakeBlocks(signals);
    NoTimer timer;
    COstra_PLCDoc none;
    const long ticks = std::strtol(opt.Value("--ticks", "-1").c_str(), nullptr, 10);
    // --csv: a row per tick that read values, the time in ms since the start
    // and each signal's value (the last one read held), flushed row by row
    // so that an interrupted run keeps what it saw.
    const std::string csvPath = opt.Value("--csv");
    std::ofstream csv;
    std::vector<int32_t> columns;
    std::vector<std::string> held;
    if (!csvPath.empty()) {
        csv.open(csvPath, std::ios::binary | std::ios::trunc);
        if (!csv) return CannotRun(csvPath + ": cannot be written: " + std::strerror(errno));
        csv << "time_ms";
        for (int32_t n : signals)
            for (const auto& rec : project.Tables.sigs)
                if (rec->Number == n) {
                    columns.push_back(n);
                    csv << "," << CsvField(rec->Name);
                }
        csv << "\r\n" << std::flush;
        held.resize(columns.size());
    }
    const auto started = std::chrono::steady_clock::now();
    std::signal(SIGINT, OnInterrupt);
    for (long tick = 0; (ticks < 0 || tick < ticks) && !interrupted; ++tick) {
        std::vector<std::pair<int32_t, double>> values;
        monitor.MonitorTick(none, project, link, timer, &values);
        if (!values.empty() && csv.is_open()) {
            csv << std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - started)
                       .count();
            for (std::size_t c = 0; c < columns.size(); ++c) {
                for (const auto& [number, value] : values)
                    if (number == columns[c]) held[c] = CsvNumber(value);
                csv << "," << held[c];
            }
            csv << "\r\n" << std::flush;
            if (!csv) {
                std::cerr << csvPath << ": cannot be written\n";
                return kExitFailed;
            }
        }
        if (!link.Connected) return kExitFailed;
        if (!values.empty()) {
            std::string line = "tick " + std::to_string(tick) + ":";
            for (const auto& [number, value] : values)
                for (const auto& rec : project.Tables.sigs)
                    if (rec->Number == number &&
                        std::binary_search(signals.begin(), signals.end(), number)) {
                        std::string v = CTargetOps::FormatValue(value);
                        v.erase(0, v.find_first_not_of(' '));
                        v.erase(v.find_last_not_of(' ') + 1);
                        line += " " + rec->Name + "=" + v;
                    }
            std::cout << line << "\n" << std::flush;
        }
        clock.SleepMs(100);
    }
    return kExitOk;
}

int Stats(COxComm& link, const std::string& connectedProc) {
    ProcStatsTexts t;
    const int info = ReadProcInfo(link, connectedProc, t);
    const int bus = info >= 0 ? ReadBackplaneStats(link, t) : info;
    const std::pair<const char*, const std::string*> rows[] = {
        {"Processor Type", &t.processorType},
        {"Serial No.", &t.serialNo},
        {"Firmware", &t.firmware},
        {"Time Used (%)", &t.timeUsed},
        {"Total Transactions", &t.totalTransactions},
        {"Total Trans. Errors", &t.totalErrors},
        {"No Responses", &t.noResponses},
        {"Timeouts", &t.timeouts},
        {"Sentinel Errors", &t.sentinelErrors},
        {"Format Errors", &t.formatErrors},
        {"Checkword Errors", &t.checkwordErrors}};
    for (const auto& [label, value] : rows) std::cout << label << ": " << *value << "\n";
    // Both answers must have come whole: a faulty one leaves its fields empty.
    return info > 0 && bus > 0 ? kExitOk : kExitFailed;
}

int KFactors(const Options& opt, COstraProject& project, COxComm& link) {
    if (opt.args.size() != 2) return CannotRun("kfactors needs PROJECT_DIR KFFILE");
    if (project.Library.MaxKFacts < 1) {
        std::cout << "The processor has no K-factors\n";
        return kExitFailed;
    }
    CKFactorTable table;
    std::string error;
    if (!table.ReadFile(opt.args[1], project.Library.MaxFBlocks, &error))
        return CannotRun(opt.args[1] + ": " + error);
    table.RefreshFromPLC(link, project.Library.MaxKFacts);
    bool update = false;
    if (opt.Has("--load-start-values")) {
        table.LoadStartVals();
        update = true;
    }
    const auto it = opt.values.find("--set");
    if (it != opt.values.end()) {
        for (const std::string& set : it->second) {
            const auto eq = set.find('=');
            char* end = nullptr;
            const long index = std::strtol(set.c_str(), &end, 10);
            double value = 0;
            if (eq == std::string::npos || end != set.c_str() + eq || index < 0 ||
                index >= table.count || !ParseWholeDouble(set.substr(eq + 1), value))
                return CannotRun("--set " + set + ": needs INDEX=VALUE within the table");
            table.records[static_cast<std::size_t>(index)].actual = value;
        }
        update = true;
    }
    const bool updated = !update || table.UpdateToPLC(link);
    std::printf("%5s %-16s %12s %12s %12s %12s\n", "Addr.", "Factor Name", "Min Val", "Max Val",
                "StartVal", "Actual");
    for (int i = 0; i < table.count; ++i) {
        const ts_kfrec& k = table.records[static_cast<std::size_t>(i)];
        std::printf("%5d %-16s %12.5g %12.5g %12.5g %12.5g\n", k.address, k.name.c_str(), k.minimum,
                    k.maximum, k.startValue, k.actual);
    }
    std::fflush(stdout);
    return link.Connected && updated ? kExitOk : kExitFailed;
}

}  // namespace

int Target(const Options& opt) {
    if (opt.args.empty()) return CannotRun(opt.command + " needs a PROJECT_DIR");
    if (opt.command != "kfactors" && opt.args.size() != 1)
        return CannotRun(opt.command + " needs exactly one PROJECT_DIR");
    std::error_code ec;
    const fs::path dir = fs::absolute(opt.args[0], ec);
    if (ec || !fs::is_directory(dir, ec)) return CannotRun(opt.args[0] + ": not a folder");
    if (!fs::exists(dir / kProjectControlFile, ec))
        return CannotRun(opt.args[0] + ": no " + kProjectControlFile);

    CliMessageBox msg(std::cout, opt.Has("--yes"));
    MemorySettings settings;
    COstraProject project(msg, settings, fs::current_path(ec));
    OpenProject(opt, project, dir);

    SteadyLinkClock clock;
    CliPorts ports(opt);
    CliPortDialog dialog(opt);
    CliProgress progress;
    COxComm link(msg, clock, ports);
    link.SetDialog(&dialog);
    link.SetMenu(&project.Menu);
    link.Echo = opt.Has("--echo");
    // An image without blocks was never compiled or did not load: nothing is
    // sent, so that the controller is neither stopped nor passed as verified.
    if ((opt.command == "upload" || opt.command == "verify") && project.Tables.fbs.empty()) {
        std::cout << "The project has no compiled diagram\n";
        return kExitFailed;
    }
    CTargetOps ops(project, link, clock, &progress);
    // A connect that did not identify the controller has failed, even where
    // the link stays open.
    if (!ops.Connect() || ops.ConnectedProc.empty() || !link.Connected) return kExitFailed;
    if (opt.command == "connect") return kExitOk;
    if (opt.command == "monitor") return Monitor(opt, project, link, clock);
    if (opt.command == "stats") return Stats(link, ops.ConnectedProc);
    if (opt.command == "kfactors") return KFactors(opt, project, link);
    const bool ok = opt.command == "upload" ? ops.Upload() : ops.Verify();
    return ok && link.Connected ? kExitOk : kExitFailed;
}

}  // namespace ostra::cli
