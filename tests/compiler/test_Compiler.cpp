// The compile pipeline on small hand-made projects: numbering, constants,
// bus expansion, execution order, loop breaking, reports and menu states.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "compiler/Compiler.h"
#include "compiler/Listings.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "model/WireTypes.h"
#include "project/Problems.h"
#include "support/SheetBuilder.h"

namespace ostra {
namespace {

using namespace test;  // the test doubles and helpers
class CompileTest : public ::testing::Test {
  protected:
    CompileTest() : project(box, settings, dir.Path()) {
        RecordingMessageBox quiet;
        project.Library.ReadFuncLibrary("KMRU-01.oxl", test::Examples(), quiet);
    }

    COstra_PLCDoc& Sheet(const std::string& title) {
        project.Sheets.push_back(std::make_unique<COstra_PLCDoc>());
        project.Sheets.back()->title = title;
        project.Sheets.back()->pathName = title + ".oxd";  // rows name the file
        return *project.Sheets.back();
    }
    // A case's sheet, made from a script for SheetBuilder::Draw.
    std::function<void()> On(const std::string& title, std::string script) {
        return [this, title, script] { SheetBuilder(Sheet(title)).Draw(script); };
    }
    // Checks every sheet (they must pass) and compiles.
    void Compile() {
        for (auto& s : project.Sheets) {
            RecordingMessageBox quiet;
            ASSERT_TRUE(s->WireCheck(quiet).passed) << s->title;
        }
        box.messages.clear();
        project.CompileAll();
    }
    // The block table in execution order, a line a block: type (number), ident, bus address, and
    // each used pin as slot:kind:what, where kind is d, i or a (a signal: its first name, "-" for
    // none, shown for inputs only when connected), c (a constant: number=value) or v (a value pin).
    std::string Program() const {
        std::map<int32_t, std::string> names;
        for (const auto& sig : project.Tables.sigs) names.emplace(sig->Number, sig->Name);
        std::string out;
        for (const auto& r : project.Tables.fbs) {
            out += r->TypeName + "(" + std::to_string(r->TypeNum) + ") " + r->Ident;
            if (r->Address[0] >= 0) out += " @" + BusName("", r->Address);
            for (int k = 0; k < 16; ++k) {
                const int32_t type = r->PinType[k], ref = r->PinRef[k];
                if (type < 1 || type > 5 || (k > 0 && type <= 3 && ref < 0)) continue;
                out += " " + std::to_string(k) + ":" + "diacv"[type - 1] + ":";
                if (type == 4)
                    out += std::to_string(ref) + "=" +
                           FormatF(project.Tables.consts.at(static_cast<std::size_t>(ref))->Value);
                else if (type == 5)
                    out += std::to_string(ref);
                else
                    out += names.count(ref) ? names.at(ref) : "-";
            }
            out += "\n";
        }
        return out;
    }

    test::TempDir dir;
    RecordingMessageBox box;
    MemorySettings settings;
    COstraProject project;
};

// Small projects compiled: the block table that comes out.
TEST_F(CompileTest, Programs) {
    struct Case {
        const char* name;
        std::function<void()> build;
        std::string program;
        int compile;  // the result kept in the control file
    };
    const std::vector<Case> cases = {
        {"two ANDs feeding each other: the loop breaks at the smaller x + 2y",
         On("Sheet_01", "AND A2 30 4; AND A1 10 10; A1.0 A2.1 @24; A2.0 40,5; "
                        "40,5 40,20; 40,20 6,20; 6,20 6,10; 6,10 A1.1"),
         "AND(20) A1 0:d:A1 1:d:A2\n"
         "AND(20) A2 0:d:A2 1:d:A1\n", 1},
        {"the loop breaks at the lower sheet first",
         [this] {
             SheetBuilder(Sheet("Sheet_01")).Draw("AND A2 30 4; A2.0 40,5 L2; 20,4 A2.1 L1");  // x + 2y = 38
             SheetBuilder(Sheet("Sheet_02")).Draw("AND A1 10 10; A1.0 20,11 L1; 4,10 A1.1 L2");  // 30, on sheet 2
         },
         "AND(20) A2 0:d:L2 1:d:L1\n"
         "AND(20) A1 0:d:L1 1:d:L2\n", 1},
        {"two bus outputs on one address share a BUSOUT and a BITOR",
         // Terminal outputs first, so that the inputs' names are known when
         // they are expanded (blocks are taken from the last to the first).
         On("Sheet_01", "TERMOUT O1 40 2 1 2 0 3 0; TERMOUT O2 40 20 1 2 0 3 0; TERMIN T1 2 0 1 0 0 0 0; "
                        "TERMIN T2 2 16 1 0 0 1 0; T1.0 O1.1 @30; T2.0 O2.1 @32"),
         "TERMIN(4) T2 @X1S0U0R1 0:a:T2 1:v:1 2:v:0 3:v:0 4:v:1 5:v:0\n"
         "TERMIN(4) T1 @X1S0U0R0 0:a:T1 1:v:1 2:v:0 3:v:0 4:v:0 5:v:0\n"
         "BITOR(11) __BORX1S2U0R3 0:a:__BORX1S2U0R3 1:a:T2 2:a:T1\n"
         "BUSOUT(3) __BOUTX1S2U0R3 @X1S2U0R3 1:a:__BORX1S2U0R3 2:v:1 3:v:2 4:v:0 5:v:3 6:v:0\n", 1},
        {"masked bus terminals, outputs on two registers",
         On("Sheet_01", "TERMOUT HORN 40 12 1 3 0 1 1; TERMOUT LAMP 40 2 1 3 0 0 2; TERMIN PB 2 0 1 2 0 0 4; PB.0 20,4; "
                        "20,4 20,2; 20,2 LAMP.1; 20,4 20,12; 20,12 HORN.1"),
         "BUSIN(2) __BIX1S2U0R0 @X1S2U0R0 0:a:__BIX1S2U0R0 1:v:1 2:v:2 3:v:0 4:v:0 5:v:4\n"
         "MASKIN(12) PB 0:a:PB 1:a:__BIX1S2U0R0 2:v:4\n"
         "MASKOUT(13) LAMP 0:a:LAMP 1:a:PB 2:v:2\n"
         "MASKOUT(13) HORN 0:a:HORN 1:a:PB 2:v:1\n"
         "BITOR(11) __BORX1S3U0R0 0:a:__BORX1S3U0R0 1:a:LAMP\n"
         "BITOR(11) __BORX1S3U0R1 0:a:__BORX1S3U0R1 1:a:HORN\n"
         "BUSOUT(3) __BOUTX1S3U0R0 @X1S3U0R0 1:a:__BORX1S3U0R0 2:v:1 3:v:3 4:v:0 5:v:0 6:v:2\n"
         "BUSOUT(3) __BOUTX1S3U0R1 @X1S3U0R1 1:a:__BORX1S3U0R1 2:v:1 3:v:3 4:v:0 5:v:1 6:v:1\n", 1},
        {"bus inputs without a mask: the first makes BUSIN and DIRCON, the second "
         "is a second name of the bus signal",
         On("Sheet_01", "GT G1 40 2; TERMIN IN_B 2 16 1 2 0 5 0; "
                        "TERMIN IN_A 2 0 1 2 0 5 0; IN_A.0 G1.1 @30; IN_B.0 G1.2 @32"),
         "BUSIN(2) __BIX1S2U0R5 @X1S2U0R5 0:a:__BIX1S2U0R5 1:v:1 2:v:2 3:v:0 4:v:5 5:v:0\n"
         "DIRCON(1) IN_A 0:a:IN_A 1:a:__BIX1S2U0R5\n"
         "GT(40) G1 0:d:- 1:a:IN_A 2:a:__BIX1S2U0R5\n", 1},
        {"constants are shared by value; 0x10 is a signal name",
         On("Sheet_01", "GT G1 20 2; GT G2 20 10; 10,2 G1.1 2.5; "
                        "10,4 G1.2 2.50; 10,10 G2.1 1.5; 10,12 G2.2 0x10"),
         "GT(40) G1 0:d:- 1:c:1=2.500000 2:c:1=2.500000\n"
         "GT(40) G2 0:d:- 1:c:0=1.500000 2:a:0x10\n", -1},  // 0x10 has no source
        {"a number on an output leaves it unconnected; on a bus output it is a constant",
         [this] {
             SheetBuilder b(Sheet("Sheet_01"));
             b.Draw("NOT N1 2 2; TERMOUT O1 40 20 1 2 0 3 0; N1.0 20,2 5");
             const CPoint in = b.In("O1", 1);
             b.Seg({in.x - 10, in.y}, in, "7");
         },
         "NOT(23) N1 0:d:-\n"
         "BITOR(11) __BORX1S2U0R3 0:a:__BORX1S2U0R3 1:c:0=7.000000\n"
         "BUSOUT(3) __BOUTX1S2U0R3 @X1S2U0R3 1:a:__BORX1S2U0R3 2:v:1 3:v:2 4:v:0 5:v:3 6:v:0\n", 1},
        {"PREVSCAN runs first",
         On("Sheet_01", "TERMIN T1 2 2 1 0 0 0 0; NOT N1 20 6; PREVSCAN P1 40 6; T1.0 N1.1; N1.0 P1.1"),
         "PREVSCAN(6) P1 0:a:- 1:a:N1\n"
         "TERMIN(4) T1 @X1S0U0R0 0:a:T1 1:v:1 2:v:0 3:v:0 4:v:0 5:v:0\n"
         "NOT(23) N1 0:d:N1 1:d:T1\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        project.Sheets.clear();
        c.build();
        Compile();
        EXPECT_EQ(Program() + std::to_string(project.ProjCtrl.Compile),
                  c.program + std::to_string(c.compile));
    }
    // A constant's readers in the cross reference: named by its value.
    project.Sheets.clear();
    SheetBuilder b(Sheet("Sheet_01"));
    b.Draw("GT G1 20 2; 10,2 G1.1 LEVEL; 10,4 G1.2 2.5");
    Compile();
    std::vector<std::string> constants;
    for (const XrefUse& u : CrossReferenceUses(project))
        if (u.constant) constants.push_back(u.name + " to " + u.ident + "." + std::to_string(u.pin));
    EXPECT_EQ(constants, std::vector<std::string>{"2.500000 to G1.2"});
}

// The listings, the image and the control file go together: when one cannot
// be written, none is replaced and the project is not marked compiled.
TEST_F(CompileTest, OutputsAreWrittenAllOrNone) {
    SheetBuilder b(Sheet("Sheet_01"));
    b.Block("NOT", "N1", 2, 2);
    for (const char* f : {"wires.lst", "fblock.lst", "project.oxp"}) test::WriteBytes(dir / f, "old");
    std::filesystem::create_directory(dir / "project.oxb");  // cannot be replaced by a file
    Compile();
    EXPECT_EQ(project.ProjCtrl.Compile, 0);
    EXPECT_EQ(box.messages.back().text,
              "project.oxb cannot be written: Is a directory\nNothing of this compile was saved.");
    for (const char* f : {"wires.lst", "fblock.lst", "project.oxp"})
        EXPECT_EQ(test::ReadBytes(dir / f), "old") << f;
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, 4u);  // no temporary left behind
    std::filesystem::remove(dir / "project.oxb");
    Compile();
    EXPECT_TRUE(project.ProjCtrl.Compile == 1 &&
                test::ReadBytes(dir / "project.oxp").find("Compile = 1") != std::string::npos &&
                !test::ReadBytes(dir / "project.oxb").empty());
}

TEST_F(CompileTest, PlcFullWarnsAtTheLimit) {
    COstra_PLCDoc& s = Sheet("Sheet_01");
    for (int i = 0; i < 224; ++i)
        s.blocks.push_back(std::make_unique<COxFunc>("AND", CPoint(1, 1)));
    EXPECT_TRUE(project.CheckPlcFull() == 224 && box.messages.empty() && project.FBCount == 224);
    s.blocks.push_back(std::make_unique<COxFunc>("AND", CPoint(1, 1)));
    EXPECT_EQ(project.CheckPlcFull(), 225);
    EXPECT_EQ(test::Said(box), "Limit is 225: you have 225 Function Blocks|PLC Full|1|0");
}

TEST(BusName, FormatAndLimit) {
    EXPECT_TRUE(BusName("__BI", {1, 2, 0, 3}) == "__BIX1S2U0R3" &&
                BusName("__BI", {2147483647, 2147483647, 11, 11}).size() == 31u);  // of 32
}

// Find: blocks by ident, each net once by its name, texts; in any case.
TEST_F(CompileTest, FindLeadsToBlocksWiresAndTexts) {
    COstra_PLCDoc& s = Sheet("Sheet_01");
    SheetBuilder b(s);
    b.Draw("AND PUMP1 10 10; 2,4 8,4 Pump_on; 8,4 8,9 Pump_on");
    for (const char* t : {"the PUMP", "valve", "pump 2"})
        s.texts.push_back(std::make_unique<COxText>(CPoint(1, 1), t, 12));
    const std::vector<SheetPlace> hits = FindInSheets({&s}, "pump");
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_TRUE(hits[3].textIndex == 2 && hits[0].ident == "PUMP1" &&
                hits[3].sheetPath == "Sheet_01.oxd");
    EXPECT_TRUE(hits[1].onSegment && hits[1].end == CPoint(8, 4) && hits[1].signal == "Pump_on");
    EXPECT_TRUE(hits[2].Object() == "text at (1,1)" && hits[2].at == CPoint(1, 1));
}

// Every kind of finding on a purpose-built project, as the lines
// `ostra-plc-cli --problems` prints: sheet, place, severity, reason, object.
TEST_F(CompileTest, ProblemRowsNameTheObjectPinAndSignal) {
    struct Case {
        const char* name;
        std::function<void()> build;
        std::vector<std::string> rows;
        std::string boxes;  // the compile's messages, its result and the menu after it
    };
    const std::vector<Case> cases = {
        {"unsourced, unresolved, undriven cross reference",
         On("Sheet_01", "TERMOUT O1 40 6 1 0 1 0 0; 30,6 O1.1 GHOST"),
         {"Sheet_01.oxd:40,6: error: Unsourced signal \"GHOST\", read by O1.1 (Sheet_01) [O1 pin 1]",
          "Sheet_01.oxd:40,6: error: Function Block O1 (TERMOUT) unresolved: an input waits on a loop "
          "or on a signal nothing drives",
          "Sheet_01.oxd:30,6: warning: The cross reference \"GHOST\" is read here, but no open sheet "
          "drives it [wire GHOST (30,6)-(40,6)]"},
         "Compile: 1 Function Blocks unresolved|Compile Result|1; 1 Unsourced signals|Wiring Errors|0; "
         "compile -1, menu 0 262144 262144"},
        {"multi-sourced over two sheets, and driven twice on one",
         [this] {
             SheetBuilder(Sheet("Sheet_01"))
                 .Draw("TERMIN T1 2 2 1 0 0 0 0; TERMIN T2 2 20 1 0 1 0 0; T1.0 20,6 PUMP; T2.0 20,24 PUMP");
             SheetBuilder(Sheet("Sheet_02")).Draw("TERMIN T3 2 2 1 0 2 0 0; T3.0 20,6 PUMP");
         },
         {"Sheet_01.oxd:2,20: error: Multi-sourced signal \"PUMP\", driven by T2.0 (Sheet_01), T1.0 "
          "(Sheet_01), T3.0 (Sheet_02) [T2 pin 0]",
          "Sheet_01.oxd:2,2: error: Multi-sourced signal \"PUMP\", driven by T2.0 (Sheet_01), T1.0 "
          "(Sheet_01), T3.0 (Sheet_02) [T1 pin 0]",
          "Sheet_02.oxd:2,2: error: Multi-sourced signal \"PUMP\", driven by T2.0 (Sheet_01), T1.0 "
          "(Sheet_01), T3.0 (Sheet_02) [T3 pin 0]",
          "Sheet_01.oxd:11,24: warning: The signal \"PUMP\" is driven on 2 wires of this sheet that "
          "do not touch [wire PUMP (11,24)-(20,24)]"},
         "Compile: all Function Blocks resolved|Compile Result|0; 1 Multi-sourced signals|Wiring "
         "Errors|0; compile -1, menu 65536 0 262144"},
        {"an input with nothing wired, and the block limit",
         [this] {
             project.Library.MaxFBlocks = 2;
             SheetBuilder b(Sheet("Sheet_01"));
             b.Draw("TERMIN T1 2 2 1 0 0 0 0; AND A1 20 2; T1.0 A1.1 @15");
         },
         {"project: error: PLC Full: the limit is 2, you have 2 Function Blocks",
          "Sheet_01.oxd:20,2: warning: Input 2 of A1 has nothing wired and no constant"},
         "Compile: all Function Blocks resolved|Compile Result|0; compile 1, menu 65536 0 262144"},
    };
    const int32_t limit = project.Library.MaxFBlocks;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        project.Sheets.clear();
        project.Library.MaxFBlocks = limit;
        c.build();
        Compile();
        std::vector<const COstra_PLCDoc*> sheets;
        for (const auto& s : project.Sheets) sheets.push_back(s.get());
        std::vector<std::string> lines;
        for (const auto& rows : {CompileProblems(project), SheetWarnings(sheets)})
            for (const Problem& p : rows) lines.push_back(ProblemLine(p));
        EXPECT_EQ(lines, c.rows);

        const auto& w = project.Menu.words;
        const std::string boxes = Shown(box) + "compile " +
                                  std::to_string(project.ProjCtrl.Compile) + ", menu " +
                                  std::to_string(w[CProjectMenu::kCompile]) + " " +
                                  std::to_string(w[CProjectMenu::kVerify]) + " " +
                                  std::to_string(w[CProjectMenu::kMonitor]);
        EXPECT_EQ(boxes, c.boxes);
        // The cross reference of the checked sheets alone holds the compile's pins.
        const auto pins = [](const std::vector<XrefUse>& uses) {
            std::multiset<std::string> out;
            for (const XrefUse& u : uses)
                out.insert(u.name + (u.source ? " from " : " to ") + u.ident + "." +
                           std::to_string(u.pin) + " " + u.sheet);
            return out;
        };
        EXPECT_EQ(pins(SheetCrossReferenceUses(project)), pins(CrossReferenceUses(project)));
        EXPECT_FALSE(pins(CrossReferenceUses(project)).empty());
    }
    // A failed wire check: one row per faulty segment, with the check's reason.
    COstra_PLCDoc& sheet = Sheet("Sheet_09");
    SheetBuilder(sheet).Seg({4, 4}, {12, 4});
    sheet.pathName = "dir/Sheet_09.oxd";
    RecordingMessageBox quiet;
    EXPECT_FALSE(sheet.WireCheck(quiet).passed);
    std::vector<std::string> lines;
    for (const Problem& p : CheckProblems(sheet)) lines.push_back(ProblemLine(p));
    EXPECT_EQ(lines, std::vector<std::string>{"dir/Sheet_09.oxd:4,4: error: " +
                                              std::string(WireErrorText(kWireNamingError)) +
                                              " [wire (4,4)-(12,4)]"});
    // A clean wiring pass with a loop that no source reaches: a naming row a wire.
    COstra_PLCDoc& loop = Sheet("Sheet_10");
    SheetBuilder(loop).Draw("2,2 10,2; 10,2 10,8; 10,8 2,8; 2,8 2,2");
    EXPECT_FALSE(loop.WireCheck(quiet).passed);
    const std::vector<Problem> naming = CheckProblems(loop);
    ASSERT_EQ(naming.size(), 4u);
    EXPECT_EQ(naming[3].text, "Naming Error: no signal name reaches this wire from a source");
}

}  // namespace
}  // namespace ostra
