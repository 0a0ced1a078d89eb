// The library grammar, the loader's failure path, the shipped libraries, and
// the processor list with its built-in table.
#include <gtest/gtest.h>

#include <set>

#include "model/WireTypes.h"
#include "project/CFuncLibrary.h"
#include "project/ProcessorList.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

CFuncLibrary Parse(const std::string& text) {
    CFuncLibrary lib;
    lib.Parse(text);
    return lib;
}

const char* const kAndBlock =
    "[Logic]\r\n"
    "$12, AND ; a comment\r\n"
    "T0, -4, 32, 30\r\n"
    "T2\r\n"
    "5, 1\r\n"
    "2, 5\r\n"
    "0, 0\r\n"
    "1,Q\r\n"
    "1,I1\r\n"
    "2,I2\r\n";

std::string Pt(CPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

// Everything a parse leaves: the tree, then each block with its flags,
// geometry, input counts and the pin slots that differ from a new block's.
std::vector<std::string> Dump(const CFuncLibrary& lib) {
    std::vector<std::string> out;
    for (const auto& t : lib.LibTree)
        out.push_back(std::string(t->Kind == CFuncTreeItem::kHeading ? "[" : "$") + t->Name +
                      "{" + t->Description + "}");
    for (const auto& f : lib.LibFuncs) {
        std::string d = std::to_string(f->typeNumber) + " " + f->functionType + " " +
                        (f->symbolFlag ? "S" : "-") + std::to_string(f->symbolId) + " " +
                        Pt({f->body.left, f->body.top}) + "," + Pt({f->body.right, f->body.bottom}) +
                        (f->canChange ? " T" : " F") + std::to_string(f->minInputs) + "/" +
                        std::to_string(f->actualInputs) + " o" + Pt(f->outputPinOffset) + " i" +
                        Pt(f->identLabelOffset) + " t" + Pt(f->typeLabelOffset) + " |";
        const COxFunc blank("X", {0, 0});
        for (int k = 0; k < 16; ++k) {
            const PinSlot& p = f->pins[k];
            if (p.type != blank.pins[k].type || !p.name.empty() || p.letter != blank.pins[k].letter)
                d += " " + std::to_string(k) + ":" + std::to_string(p.type) + p.name + "/" + p.letter;
        }
        out.push_back(d);
    }
    return out;
}

TEST(CFuncLibrary, Grammar) {
    const std::string longHeading = "[" + std::string(126, 'h');
    std::string sixteen = "$5, B\r\nF0, 0, 4, 4\r\nF1\r\n5, 0\r\n1, 3\r\n1, -1\r\n";
    for (int k = 0; k < 16; ++k) sixteen += "3,P" + std::to_string(k) + "\r\n";
    const struct {
        std::string text;
        std::vector<std::string> dump;
    } cases[] = {
        // Fewer than 16 pin lines: the rest keep a new block's slots.
        {kAndBlock, {"[Logic{}", "$AND{}", "12 AND S145 0,-4,32,30 T2/2 o5,1 i2,5 t0,0 | 0:1Q/_ 1:1I1/_ 2:2I2/_"}},
        // Flag columns are never part of the numbers; only "T" is true.
        {"$7, BOX\r\n 1, 2, 3, 4\r\nx9\r\n", {"$BOX{}", "7 BOX -0 1,2,3,4 F9/9 o5,1 i2,5 t2,2 |"}},
        // Comments only outside descriptions.
        {"; whole-line comment\r\n[Timers ; not here]\r\n{Times; in seconds}\r\n;\r\n",
         {"[Timers {Times; in seconds\r\n}"}},
        // A description runs to its brace, over lines that look like others.
        {"[H]\r\n{word}\r\n$3, X\r\n{first\r\n[not a heading]\r\n$9, NOTABLOCK\r\nlast} tail\r\n"
         "$4, Y\r\n{open to the end\r\n\r\nstill",
         {"[H{word\r\n}", "$X{first\r\n[not a heading]\r\n$9, NOTABLOCK\r\nlast tail\r\n}",
          "$Y{open to the end\r\n\r\nstill\r\n}", "3 X -0 0,-4,32,30 T2/2 o5,1 i2,5 t2,2 |",
          "4 Y -0 0,-4,32,30 T2/2 o5,1 i2,5 t2,2 |"}},
        // Value pins take their capital, else the first character, else "_".
        {"$4, TERMIN\r\nF0, 0, 7, 10\r\nF5\r\n8, 4\r\n1, 11\r\n1, -1\r\n3,Q\r\n5,boX\r\n"
         "5,sUbslot\r\n5,reg\r\n5,\r\n5,MaskZ9\r\n",
         {"$TERMIN{}", "4 TERMIN -0 0,0,7,10 F5/5 o8,4 i1,11 t1,-1 | 0:3Q/_ 1:5boX/X 2:5sUbslot/U "
                       "3:5reg/r 4:5/_ 5:5MaskZ9/Z"}},
        // Names too long are empty; lines after the sixteenth pin are ignored.
        {"$1, " + std::string(16, 'T') + "\r\n$2, " + std::string(15, 'U') +
             "\r\nF0, 0, 4, 4\r\nF1\r\n5, 0\r\n1, 3\r\n1, -1\r\n3," + std::string(32, 'p') +
             "\r\n3," + std::string(31, 'p') + "\r\n",
         {"${}", "$" + std::string(15, 'U') + "{}", "1  -0 0,-4,32,30 T2/2 o5,1 i2,5 t2,2 |",
          "2 " + std::string(15, 'U') + " -0 0,0,4,4 F1/1 o5,0 i1,3 t1,-1 | 0:3/_ 1:3" +
              std::string(31, 'p') + "/_"}},
        {sixteen + "2,EXTRA\r\n1,MORE\r\n", {}},
        {"[H]\r\n{first}\r\n{second}\r\n", {"[H{second\r\n}"}},  // the last description counts
        // Numbered lines before the first block are ignored.
        {"T1, 2, 3, 4\r\n{orphan}\r\n$1, A\r\n", {"$A{}", "1 A -0 0,-4,32,30 T2/2 o5,1 i2,5 t2,2 |"}},
        // Long lines go on as lines of their own after 127 characters.
        {longHeading + "[Second]\r\n", {"[" + std::string(126, 'h') + "{}", "[Second{}"}},
        {"[H]\r\n{" + std::string(199, 'd') + "}\r\n",
         {"[H{" + std::string(126, 'd') + "\r\n" + std::string(73, 'd') + "\r\n}"}},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> got = Dump(Parse(c.text));
        if (c.dump.empty()) {  // the sixteen pins case
            EXPECT_NE(got.back().find("15:3P15/_"), std::string::npos) << got.back();
        } else {
            EXPECT_EQ(got, c.dump) << c.text;
        }
    }
    const CFuncLibrary lib = Parse(kAndBlock);
    EXPECT_TRUE(lib.FindFunc("AND") == lib.LibFuncs[0].get() && !lib.FindFunc("and"));
}

TEST(CFuncLibrary, Keywords) {
    EXPECT_TRUE(Parse("*MAXFBLOCKS = 100\r\n").MaxFBlocks == 100 &&
                Parse("*maxfblocks 100\r\n").MaxFBlocks == 100);
    EXPECT_EQ(Parse("*maxfblocks\t'300'\r\n").MaxFBlocks, 300);
    EXPECT_EQ(Parse("*MaxKFacts = 24 ; comment\r\n").MaxKFacts, 24);
    EXPECT_EQ(Parse("*maxfblocks ;100\r\n").MaxFBlocks, 0);  // no digits gives 0
    EXPECT_EQ(Parse("*maxfblocks =100\r\n").MaxFBlocks, 0);  // "=100" begins with "="
    EXPECT_EQ(Parse("*maxfblock 1\r\n*maxfblockz 1\r\n").MaxFBlocks, 225);  // near misses
    CFuncLibrary none = Parse("*MaxKFacts = 24\r\n*maxfblocks 9\r\n");
    none.Parse(kAndBlock);  // a library read again starts afresh
    EXPECT_TRUE(none.MaxFBlocks == 225 && none.MaxKFacts == 0);
}

TEST(CFuncLibrary, LoadingAndTheFailurePath) {
    test::TempDir dir;
    test::WriteBytes(dir / "KMRU-01.oxl", kAndBlock);
    for (const char* f : {".oxl", "KMRU"}) test::WriteBytes(dir / f, kAndBlock);
    test::RecordingMessageBox msg;
    CFuncLibrary lib;
    // The processor, the count of blocks, whether one is selected, the limit.
    const auto state = [&lib] {
        return lib.ProcessorName + " " + std::to_string(lib.LibFuncs.size()) +
               (lib.SelectedLibFunc ? " selected " : " none ") + std::to_string(lib.MaxFBlocks);
    };
    ASSERT_TRUE(lib.ReadFuncLibrary("KMRU-01.oxl", dir.Path(), msg));
    EXPECT_EQ(state() + "|" + std::to_string(msg.messages.size()), "KMRU-01 1 none 225|0");
    lib.SelectedLibFunc = lib.LibFuncs[0].get(), lib.MaxFBlocks = 7;

    EXPECT_FALSE(lib.ReadFuncLibrary("KMRU-09.oxl", dir.Path(), msg));
    EXPECT_EQ(test::Said(msg), "Could not open library file " +
                                   (dir / "KMRU-09.oxl").make_preferred().string() + "||0|0");
    EXPECT_EQ(state(), " 1 selected 7");  // previous definitions stay

    // A name that begins with its dot, or has none, is read but gives no processor.
    EXPECT_TRUE(!lib.ReadFuncLibrary(".oxl", dir.Path(), msg) && state() == " 1 none 225" &&
                !lib.ReadFuncLibrary("KMRU", dir.Path(), msg) && state() == " 1 none 225");
}

// Texts of the list and the table they give: separators, case, the end
// marker, what stops the list, and its room for 63 processors.
TEST(ProcessorList, ParsedTables) {
    std::string seventy;
    for (int i = 1; i <= 70; ++i) seventy += std::to_string(i) + " P" + std::to_string(i) + "\r\n";
    const struct {
        std::string text;
        std::vector<std::string> names;  // the table's names, the terminator's "" last
    } cases[] = {
        {"A501 KMRU-01\r\nb0c1,KMRU-07\r\n\tC2\tPROC C2\r\n0\r\nD3 AFTER\r\n",
         {"KMRU-01", "KMRU-07", "PROC", ""}},
        {"A501 KMRU-01\r\n\r\nA522 KMRU-02\r\n", {"KMRU-01", ""}},  // an empty line ends it
        {"KMRU A501\r\n", {""}},                                     // so does a word
        {"FFFFFFFF NEG\r\n", {""}},                                   // and a code below 1
        {"A501\r\nA522 KMRU-02\r\n", {"", "KMRU-02", ""}},            // a code without a name
    };
    for (const auto& c : cases) {
        CProcTable t;
        t.ParseProcessorList(c.text);
        std::vector<std::string> names;
        for (const auto& p : t.ProcTable) names.push_back(p.ProcName);
        EXPECT_EQ(names, c.names) << c.text;
    }
    CProcTable t;
    t.ParseProcessorList("A501 KMRU-01\r\nb0c1,KMRU-07\r\n");
    EXPECT_EQ(t.ProcTable[1].ProcID, 0xB0C1);
    t.ParseProcessorList(seventy);
    ASSERT_EQ(t.ProcTable.size(), 64u);
    EXPECT_EQ(t.ProcTable[62].ProcName + "|" + t.ProcTable[63].ProcName, "P63|");
    // Without a list the built-in table serves.
    t.ReadProcessorList("/nonexistent/processors.lst");
    ASSERT_EQ(t.ProcTable.size(), 4u);
    EXPECT_TRUE(t.Find(0xA5FF) == &t.ProcTable[2] && !t.Find(0x1234) && !t.Find(0));
}

}  // namespace
}  // namespace ostra
