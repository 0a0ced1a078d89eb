// Black-box tests of ostra-plc-cli, and the example sheets kept in step with their generator.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "model/COstra_PLCDoc.h"
#include "model/COxWireSeg.h"
#include "model/WireTypes.h"
#include "support/Plcsim.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

struct RunResult {
    int code = -1;
    std::string out;
};

// Runs a command line and collects its standard output.
RunResult Exec(const std::string& cmd) {
    RunResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string Cli() {
    return std::string("'") + OSTRA_CLI_PATH + "'";
}
std::string Q(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

// A copy of the example project in `dir`.
void CopyExample(const test::TempDir& dir) {
    std::filesystem::copy(test::Examples() / "TankPlant", dir.Path(),
                          std::filesystem::copy_options::recursive);
}

TEST(Cli, DumpOtherFiles) {
    RunResult r = Exec(Cli() + " dump " + Q(test::Examples() / "TankPlant" / "project.oxp"));
    EXPECT_TRUE(r.code == 0 && r.out.find("Processor: \"KMRU-01\"") != std::string::npos) << r.out;
    r = Exec(Cli() + " dump " + Q(test::Examples() / "KMRU-01.oxl"));
    EXPECT_TRUE(r.code == 0 && r.out.find("maxfblocks: 225") != std::string::npos &&
                r.out.find("name: \"TERMIN\"") != std::string::npos);
    r = Exec(Cli() + " dump --json " + Q(test::Examples() / "processors.lst"));
    EXPECT_TRUE(r.code == 0 && r.out.find("\"id\": \"A5FF\"") != std::string::npos) << r.out;
}

// The example sheets as they print, against reference drawings: the frame at
// the print offset, every block, pin, wire, label and text, to the byte.
// OSTRA_UPDATE_REFERENCES=1 writes the references anew.
TEST(Cli, ExportDrawsTheSheetAsItPrints) {
    test::TempDir dir;
    const char* setting = std::getenv("OSTRA_UPDATE_REFERENCES");
    const bool update = setting && std::string(setting) == "1";
    for (const std::string name : {"Sheet_01", "Sheet_02"}) {
        const auto reference = test::TestData() / "render" / (name + ".svg");
        const auto out = update ? reference : dir / "sheet.svg";
        const RunResult r =
            Exec(Cli() + " export " + Q(test::Examples() / "TankPlant" / (name + ".oxd")) + " " + Q(out) + " 2>&1");
        ASSERT_EQ(r.code, 0) << r.out;
        EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(reference)) << name;
    }
}

TEST(Cli, ExportToPdfAndPngThroughTheQtHelper) {
    test::TempDir dir;
    const auto sheet = test::Examples() / "TankPlant" / "Sheet_02.oxd";
    const bool withQt =
        std::filesystem::exists(std::filesystem::path(OSTRA_CLI_PATH).parent_path() /
                                "ostra-plc-export");
    for (const char* format : {"pdf", "png"}) {
        const auto out = dir / (std::string("sheet.") + format);
        const RunResult r = Exec(Cli() + " export " + Q(sheet) + " " + Q(out) + " 2>&1");
        EXPECT_EQ(r.code, withQt ? 0 : 2) << r.out;
        if (withQt) {
            EXPECT_EQ(test::ReadBytes(out).substr(1, 3), format[1] == 'd' ? "PDF" : "PNG");
        }
    }
    if (withQt) {  // --dpi sets the PNG's size: 300 doubles the width of the default 150
        const auto width = [](const std::string& png) {
            return (static_cast<unsigned char>(png[18]) << 8) | static_cast<unsigned char>(png[19]);
        };
        ASSERT_EQ(Exec(Cli() + " export --dpi 300 " + Q(sheet) + " " + Q(dir / "fine.png")).code, 0);
        EXPECT_EQ(width(test::ReadBytes(dir / "fine.png")), 2 * width(test::ReadBytes(dir / "sheet.png")));
        ASSERT_EQ(Exec(Cli() + " export --format png " + Q(sheet) + " " + Q(dir / "picture")).code, 0);
        EXPECT_EQ(test::ReadBytes(dir / "picture").substr(1, 3), "PNG");  // --format wins over the name
    }
    // A damaged sheet, a resolution out of range or for SVG, and an unknown
    // format are refused without leaving a file behind.
    test::WriteBytes(dir / "bad.oxd", "damaged");
    for (const std::string args : {"bad.oxd bad.pdf", "--dpi 20 sheet.oxd x.png",
                                   "--dpi 300 sheet.oxd x.svg", "--format bmp sheet.oxd x.bmp"}) {
        std::filesystem::copy_file(sheet, dir / "sheet.oxd", std::filesystem::copy_options::skip_existing);
        const RunResult r = Exec("cd " + Q(dir.Path()) + " && " + Cli() + " export " + args + " 2>&1");
        EXPECT_EQ(r.code, 2) << args;
        if (args[2] == 'f') {
            EXPECT_NE(r.out.find("unknown export format"), std::string::npos) << r.out;
        }
        EXPECT_FALSE(std::filesystem::exists(dir / args.substr(args.rfind(' ') + 1))) << args;
    }
}

// The example project is made by its generator, checked and compiled; every
// file that makes must equal the committed expected output.
TEST(ExampleProject, GeneratedCheckedAndCompiledEqualsTheCommittedFiles) {
    test::TempDir dir;
    const auto example = test::Examples() / "TankPlant";
    for (const char* name : {"project.oxp", "KFTank.txt"})
        std::filesystem::copy_file(example / name, dir / name);
    RunResult r = Exec(std::string("'") + OSTRA_MAKE_EXAMPLE_PATH + "' " + Q(test::Examples()) +
                       " " + Q(dir.Path()) + " 2>&1");
    ASSERT_EQ(r.code, 0) << r.out;
    r = Exec("cd " + Q(dir.Path()) + " && " + Cli() + " compile --check . --library-dir " +
             Q(test::Examples()) + " 2>&1");
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out,
              "== Sheet_01.oxd\n"
              "Wiring Check: No Wiring Errors\n"
              "Signal Naming Check: No Signal Naming Errors\n"
              "== Sheet_02.oxd\n"
              "Wiring Check: No Wiring Errors\n"
              "Signal Naming Check: No Signal Naming Errors\n"
              "Compile Result: Compile: all Function Blocks resolved\n");
    for (const char* name :
         {"Sheet_01.oxd", "Sheet_02.oxd", "wires.lst", "fblock.lst", "project.oxb", "project.oxp"})
        EXPECT_EQ(test::ReadBytes(dir / name), test::ReadBytes(example / name))
            << name << " differs from the committed example";
}

const char* const kUploadOutput =
    "Connected to KMRU-01 OK\n"
    "Uploading a new diagram requires that the\n"
    "CONTROLLER WILL BE STOPPED !!\n"
    "Are you sure that it is safe to do this?\n"
    "Uploading Constants (3)\n"
    "Uploading Func Blocks (19)\n"
    "Checking Constants (3)\n"
    "Checking Func Blocks (19)\n"
    "Verified OK\n";

TEST(Controller, UploadToTheBuiltInSimulator) {
    test::TempDir dir;
    CopyExample(dir);
    const std::string lib = " --library-dir " + Q(test::Examples());
    RunResult r = Exec(Cli() + " upload --simulator --yes " + Q(dir.Path()) + lib + " 2>&1");
    EXPECT_EQ(std::to_string(r.code) + r.out, "0" + std::string(kUploadOutput));
    // Without --yes the controller is not stopped.
    r = Exec(Cli() + " upload --simulator " + Q(dir.Path()) + lib + " 2>&1");
    EXPECT_TRUE(r.code == 1 && r.out.find("Uploading Constants") == std::string::npos);
    // A fresh simulator holds no diagram.
    r = Exec(Cli() + " verify --simulator " + Q(dir.Path()) + lib + " 2>&1");
    EXPECT_TRUE(r.code == 1 && r.out.find("Constant Failed to Load") != std::string::npos) << r.out;
    // monitor --csv: a row per tick that read values (their times: the trend log's test).
    r = Exec(Cli() + " monitor --simulator --ticks 4 --csv " + Q(dir / "trend.csv") + " " +
             Q(dir.Path()) + lib + " 2>&1");
    ASSERT_EQ(r.code, 0) << r.out;
    std::istringstream csv(test::ReadBytes(dir / "trend.csv"));
    std::string row;
    std::getline(csv, row);
    EXPECT_EQ(row, "time_ms,STOP,START,K_PUMPOFF,K_PUMPON,K_HIALM,LEVEL\r");
    long rows = 0;
    for (; std::getline(csv, row); ++rows)
        EXPECT_EQ(std::count(row.begin(), row.end(), ','), 6) << row;
    EXPECT_EQ(rows, 3);
    // Every failure ends with exit code 1 and the link's message.
    r = Exec(Cli() + " connect --device /dev/ostra-nonexistent " + Q(dir.Path()) + lib + " 2>&1");
    EXPECT_EQ(std::to_string(r.code) + r.out,
              "1Opening COM Port: Device Not Found\nConnection Failed\nNo response from target\n");
    // A project without a compiled image is refused before any traffic.
    test::WriteBytes(dir / "project.oxb", "");
    r = Exec(Cli() + " upload --yes --simulator " + Q(dir.Path()) + lib + " 2>&1");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("The project has no compiled diagram\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Connected"), std::string::npos);
}

TEST(Controller, UploadAndVerifyThroughPlcsimOnAPseudoTerminal) {
    test::Plcsim sim;
    ASSERT_EQ(sim.Device().rfind("/dev/", 0), 0u) << sim.Device();
    test::TempDir dir;
    CopyExample(dir);
    const std::string common =
        " --device " + sim.Device() + " " + Q(dir.Path()) + " --library-dir " + Q(test::Examples());
    RunResult r = Exec(Cli() + " upload --yes" + common + " 2>&1");
    EXPECT_EQ(std::to_string(r.code) + r.out, "0" + std::string(kUploadOutput));
    // The diagram stays in the controller for the next program.
    r = Exec(Cli() + " verify" + common + " 2>&1");
    EXPECT_EQ(std::to_string(r.code) + r.out,
              "0Connected to KMRU-01 OK\nChecking Constants (3)\nChecking Func Blocks "
              "(19)\nVerified OK\n");
}

TEST(Controller, KFactorsMonitorAndStatisticsThroughPlcsim) {
    test::Plcsim sim;
    ASSERT_FALSE(sim.Device().empty());
    test::TempDir dir;
    CopyExample(dir);
    const std::string common =
        " --device " + sim.Device() + " " + Q(dir.Path()) + " --library-dir " + Q(test::Examples());
    ASSERT_EQ(Exec(Cli() + " upload --yes" + common + " 2>&1").code, 0);
    RunResult r = Exec(Cli() + " kfactors" + common + " " + Q(dir / "KFTank.txt") +
                       " --load-start-values 2>&1");
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_NE(
        r.out.find("    2 PumpOn                      0          100           70           70\n"),
        std::string::npos)
        << r.out;
    r = Exec(Cli() + " kfactors" + common + " " + Q(dir / "KFTank.txt") + " --set 0=95 2>&1");
    EXPECT_NE(
        r.out.find("    1 HiAlarm                     0          100           90           95\n"),
        std::string::npos)
        << r.out;
    r = Exec(Cli() + " monitor --ticks 25" + common + " 2>&1");
    EXPECT_TRUE(r.code == 0 && r.out.find("K_HIALM=95") != std::string::npos) << r.out;
    r = Exec(Cli() + " stats" + common + " 2>&1");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("Processor Type: KMRU-01\nSerial No.: 1234567\nFirmware:  3.02\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Checkword Errors: 0\n"), std::string::npos);
}

// Findings as the lines compilers print, or as JSON alone on standard output.
TEST(Cli, CheckPrintsItsFindings) {
    test::TempDir dir;
    COstra_PLCDoc doc;
    doc.OnNewDocument("Sheet_01");
    doc.segments.push_back(std::make_unique<COxWireSeg>(CPoint(4, 4), CPoint(12, 4)));
    ASSERT_TRUE(doc.OnSaveDocument(dir / "Sheet_01.OXD") && doc.title == "Sheet_01");
    const std::string sheet = Q(dir / "Sheet_01.OXD");
    RunResult r = Exec(Cli() + " check --problems " + sheet + " 2>&1");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Wiring Errors: 1 Wiring Error\n" + (dir / "Sheet_01.OXD").string() +
                         ":4,4: error: " + WireErrorText(kWireNamingError) + " [wire (4,4)-(12,4)]\n"),
              std::string::npos)
        << r.out;
    r = Exec(Cli() + " check --json " + sheet + " 2>/dev/null");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.rfind("{\n  \"passed\": false,\n  \"errors\": 1,", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\"kind\": \"wiring\""), std::string::npos) << r.out;
}

}  // namespace
}  // namespace ostra
