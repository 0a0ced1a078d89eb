// The library grammar, the loader's failure path and the shipped libraries.
#include <gtest/gtest.h>

#include <set>

#include "model/WireTypes.h"
#include "project/CFuncLibrary.h"
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

TEST(CFuncLibrary, BlockLineAndNumberedLines) {
    const CFuncLibrary lib = Parse(kAndBlock);
    ASSERT_EQ(lib.LibFuncs.size(), 1u);
    const COxFunc& f = *lib.LibFuncs[0];
    EXPECT_EQ(f.typeNumber, 12);
    EXPECT_EQ(f.functionType, "AND");
    EXPECT_EQ(f.position, CPoint(1, 1));
    EXPECT_TRUE(f.symbolFlag);
    EXPECT_EQ(f.symbolId, 145);
    EXPECT_EQ(f.body, CRect(0, -4, 32, 30));
    EXPECT_TRUE(f.canChange);
    EXPECT_EQ(f.minInputs, 2);
    EXPECT_EQ(f.actualInputs, 2);
    EXPECT_EQ(f.outputPinOffset, CPoint(5, 1));
    EXPECT_EQ(f.identLabelOffset, CPoint(2, 5));
    EXPECT_EQ(f.typeLabelOffset, CPoint(0, 0));
    EXPECT_EQ(f.pins[0].name, "Q");
    EXPECT_EQ(f.pins[2].type, 2);
    EXPECT_EQ(f.pins[2].name, "I2");
    // Fewer than 16 pin lines: the rest keep the constructed slots.
    EXPECT_EQ(f.pins[3].type, 1);
    EXPECT_EQ(f.pins[3].name, "");
    ASSERT_EQ(lib.LibTree.size(), 2u);
    EXPECT_EQ(lib.LibTree[0]->Kind, CFuncTreeItem::kHeading);
    EXPECT_EQ(lib.LibTree[0]->Name, "Logic");
    EXPECT_EQ(lib.LibTree[1]->Kind, CFuncTreeItem::kBlock);
    EXPECT_EQ(lib.LibTree[1]->Name, "AND");
    EXPECT_EQ(lib.FindFunc("AND"), lib.LibFuncs[0].get());
    EXPECT_EQ(lib.FindFunc("and"), nullptr);
}

TEST(CFuncLibrary, FlagColumnsAreNeverPartOfTheNumbers) {
    const CFuncLibrary lib = Parse("$7, BOX\r\n 1, 2, 3, 4\r\nx9\r\n");
    const COxFunc& f = *lib.LibFuncs[0];
    EXPECT_FALSE(f.symbolFlag);  // blank flag
    EXPECT_EQ(f.body, CRect(1, 2, 3, 4));
    EXPECT_FALSE(f.canChange);  // only "T" is true
    EXPECT_EQ(f.minInputs, 9);
}

TEST(CFuncLibrary, Keywords) {
    EXPECT_EQ(Parse("*MAXFBLOCKS = 100\r\n").MaxFBlocks, 100);
    EXPECT_EQ(Parse("*maxfblocks 100\r\n").MaxFBlocks, 100);
    EXPECT_EQ(Parse("*maxfblocks\t'300'\r\n").MaxFBlocks, 300);
    EXPECT_EQ(Parse("*MaxKFacts = 24 ; comment\r\n").MaxKFacts, 24);
    EXPECT_EQ(Parse("*maxfblocks ;100\r\n").MaxFBlocks, 0);  // no digits gives 0
    EXPECT_EQ(Parse("*maxfblocks =100\r\n").MaxFBlocks, 0);  // "=100" begins with "="
    EXPECT_EQ(Parse("*colour red\r\n").MaxFBlocks, 225);     // other keywords ignored
    const CFuncLibrary none = Parse(kAndBlock);
    EXPECT_EQ(none.MaxFBlocks, 225);
    EXPECT_EQ(none.MaxKFacts, 0);
}

TEST(CFuncLibrary, CommentsOnlyOutsideDescriptions) {
    const CFuncLibrary lib =
        Parse("; whole-line comment\r\n[Timers ; not here]\r\n{Times; in seconds}\r\n;\r\n");
    ASSERT_EQ(lib.LibTree.size(), 1u);
    EXPECT_EQ(lib.LibTree[0]->Name, "Timers ");
    EXPECT_EQ(lib.LibTree[0]->Description, "Times; in seconds\r\n");
}

TEST(CFuncLibrary, Descriptions) {
    const CFuncLibrary lib = Parse(
        "[H]\r\n{word}\r\n$3, X\r\n{first\r\n[not a heading]\r\n$9, NOTABLOCK\r\nlast} tail\r\n"
        "$4, Y\r\n{open to the end\r\n\r\nstill");
    ASSERT_EQ(lib.LibTree.size(), 3u);
    EXPECT_EQ(lib.LibTree[0]->Description, "word\r\n");
    EXPECT_EQ(lib.LibTree[1]->Description,
              "first\r\n[not a heading]\r\n$9, NOTABLOCK\r\nlast tail\r\n");
    EXPECT_EQ(lib.LibTree[2]->Description, "open to the end\r\n\r\nstill\r\n");
    EXPECT_EQ(lib.LibFuncs.size(), 2u);
}

TEST(CFuncLibrary, ValuePinLetters) {
    const CFuncLibrary lib = Parse(
        "$4, TERMIN\r\nF0, 0, 7, 10\r\nF5\r\n8, 4\r\n1, 11\r\n1, -1\r\n3,Q\r\n5,boX\r\n"
        "5,sUbslot\r\n5,reg\r\n5,\r\n5,Mask9\r\n");
    const COxFunc& f = *lib.LibFuncs[0];
    EXPECT_EQ(f.pins[1].letter, 'X');
    EXPECT_EQ(f.pins[2].letter, 'U');
    EXPECT_EQ(f.pins[3].letter, 'r');  // no capital: the first character
    EXPECT_EQ(f.pins[4].letter, '_');  // empty name
    EXPECT_EQ(f.pins[5].letter, 'M');
    EXPECT_EQ(f.pins[0].letter, '_');  // not a value pin
}

TEST(CFuncLibrary, NamesTooLongAreEmpty) {
    const std::string longType(16, 'T');
    const std::string longPin(32, 'p');
    const CFuncLibrary lib = Parse("$1, " + longType + "\r\n$2, " + std::string(15, 'U') +
                                   "\r\nF0, 0, 4, 4\r\nF1\r\n5, 0\r\n1, 3\r\n1, -1\r\n3," +
                                   longPin + "\r\n3," + std::string(31, 'p') + "\r\n");
    ASSERT_EQ(lib.LibFuncs.size(), 2u);
    EXPECT_EQ(lib.LibFuncs[0]->functionType, "");
    EXPECT_EQ(lib.LibFuncs[1]->functionType, std::string(15, 'U'));
    EXPECT_EQ(lib.LibFuncs[1]->pins[0].name, "");
    EXPECT_EQ(lib.LibFuncs[1]->pins[1].name, std::string(31, 'p'));
}

TEST(CFuncLibrary, LinesAfterTheSixteenthPinAreIgnored) {
    std::string text = "$5, B\r\nF0, 0, 4, 4\r\nF1\r\n5, 0\r\n1, 3\r\n1, -1\r\n";
    for (int k = 0; k < 16; ++k) text += "3,P" + std::to_string(k) + "\r\n";
    text += "2,EXTRA\r\n1,MORE\r\n";
    const CFuncLibrary lib = Parse(text);
    EXPECT_EQ(lib.LibFuncs[0]->pins[15].name, "P15");
    EXPECT_EQ(lib.LibFuncs[0]->pins[15].type, 3);
}

TEST(CFuncLibrary, NumberedLinesBeforeTheFirstBlockAreIgnored) {
    const CFuncLibrary lib = Parse("T1, 2, 3, 4\r\n{orphan}\r\n$1, A\r\n");
    ASSERT_EQ(lib.LibFuncs.size(), 1u);
    EXPECT_EQ(lib.LibFuncs[0]->body, CRect(0, -4, 32, 30));
    EXPECT_EQ(lib.LibTree[0]->Description, "");
}

TEST(CFuncLibrary, LongLinesContinueAsFurtherLines) {
    // 127 characters of heading, then the rest classified as a line of its own.
    const std::string heading = "[" + std::string(126, 'h');
    const CFuncLibrary lib = Parse(heading + "[Second]\r\n");
    ASSERT_EQ(lib.LibTree.size(), 2u);
    EXPECT_EQ(lib.LibTree[0]->Name, std::string(126, 'h'));
    EXPECT_EQ(lib.LibTree[1]->Name, "Second");
    // A description line of 200 characters becomes two lines.
    const CFuncLibrary d = Parse("[H]\r\n{" + std::string(199, 'd') + "}\r\n");
    EXPECT_EQ(d.LibTree[0]->Description,
              std::string(126, 'd') + "\r\n" + std::string(73, 'd') + "\r\n");
}

TEST(CFuncLibrary, ProcessorNames) {
    EXPECT_EQ(ProcessorNameOf("KMRU-01.oxl"), "KMRU-01");
    EXPECT_EQ(ProcessorNameOf("KMRU-01.old.oxl"), "KMRU-01");
    EXPECT_EQ(ProcessorNameOf(".oxl"), "");
    EXPECT_EQ(ProcessorNameOf("NODOT"), "");
}

TEST(CFuncLibrary, LoadingAndTheFailurePath) {
    test::TempDir dir;
    test::WriteBytes(dir / "KMRU-01.oxl", kAndBlock);
    test::WriteBytes(dir / ".oxl", kAndBlock);
    test::RecordingMessageBox msg;
    CFuncLibrary lib;
    ASSERT_TRUE(lib.ReadFuncLibrary("KMRU-01.oxl", dir.Path(), msg));
    EXPECT_EQ(lib.ProcessorName, "KMRU-01");
    EXPECT_TRUE(msg.messages.empty());
    lib.SelectedLibFunc = lib.LibFuncs[0].get();
    lib.MaxFBlocks = 7;

    EXPECT_FALSE(lib.ReadFuncLibrary("KMRU-09.oxl", dir.Path(), msg));
    ASSERT_EQ(msg.messages.size(), 1u);
    EXPECT_EQ(msg.messages[0].text,
              "Could not open library file " + (dir / "KMRU-09.oxl").make_preferred().string());
    EXPECT_EQ(msg.messages[0].caption, "");
    EXPECT_EQ(lib.ProcessorName, "");
    EXPECT_EQ(lib.LibFuncs.size(), 1u);  // previous definitions stay
    EXPECT_EQ(lib.MaxFBlocks, 7);

    // A name that begins with its dot is read but gives no processor.
    EXPECT_FALSE(lib.ReadFuncLibrary(".oxl", dir.Path(), msg));
    EXPECT_EQ(lib.ProcessorName, "");
    EXPECT_EQ(lib.LibFuncs.size(), 1u);
    EXPECT_EQ(lib.SelectedLibFunc, nullptr);
    EXPECT_EQ(lib.MaxFBlocks, 225);
}

TEST(CFuncLibrary, ShippedLibraries) {
    for (const char* name : {"KMRU-01.oxl", "KMRU-02.oxl"}) {
        test::RecordingMessageBox msg;
        CFuncLibrary lib;
        ASSERT_TRUE(lib.ReadFuncLibrary(name, test::Examples(), msg)) << name;
        EXPECT_GE(lib.LibFuncs.size(), 30u) << name;
        EXPECT_GE(lib.MaxKFacts, 1) << name;
        std::set<int32_t> numbers;
        std::set<std::string> types;
        for (const auto& f : lib.LibFuncs) {
            EXPECT_TRUE(numbers.insert(f->typeNumber).second) << name << " " << f->typeNumber;
            EXPECT_TRUE(types.insert(f->functionType).second) << name << " " << f->functionType;
            EXPECT_FALSE(f->functionType.empty());
        }
        // Every block and heading is described.
        for (const auto& item : lib.LibTree) EXPECT_FALSE(item->Description.empty()) << item->Name;
        // The compiler's own type numbers keep their meanings.
        for (const auto& f : lib.LibFuncs) {
            const int32_t t = f->typeNumber;
            EXPECT_TRUE(t != 1 && t != 2 && t != 3 && t != 12 && t != 13) << f->functionType;
            EXPECT_TRUE(t != 11 || f->functionType == "BITOR") << f->functionType;
        }
        const COxFunc* tin = lib.FindFunc("TERMIN");
        ASSERT_NE(tin, nullptr);
        EXPECT_EQ(tin->typeNumber, 4);
        EXPECT_EQ(tin->actualInputs, 5);
        const char letters[] = {'X', 'S', 'U', 'R', 'M'};
        for (int k = 1; k <= 5; ++k) {
            EXPECT_EQ(tin->pins[k].type, kPinValue);
            EXPECT_EQ(tin->pins[k].letter, letters[k - 1]);
        }
        const COxFunc* tout = lib.FindFunc("TERMOUT");
        ASSERT_NE(tout, nullptr);
        EXPECT_EQ(tout->typeNumber, 5);
        EXPECT_EQ(tout->pins[0].type, kPinNone);
        EXPECT_EQ(tout->pins[1].type, kPinAnalogue);
        for (int k = 2; k <= 6; ++k) EXPECT_EQ(tout->pins[k].letter, letters[k - 2]);
        ASSERT_NE(lib.FindFunc("PREVSCAN"), nullptr);
        ASSERT_NE(lib.FindFunc("KFACT"), nullptr);
    }
}

}  // namespace
}  // namespace ostra
