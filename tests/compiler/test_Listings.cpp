// The compile's outputs: the wire list byte for byte from hand-made tables (the
// function block list is the example's, compared in the CLI test), and the
// compiled image, whose damaged forms empty the tables.
#include <gtest/gtest.h>

#include "compiler/DownloadRecords.h"
#include "compiler/Listings.h"
#include "support/SheetBuilder.h"

namespace ostra {
namespace {

CdldFB& AddRec(DownloadTables& t, const std::string& ident, const std::string& type = "X") {
    t.fbs.push_back(std::make_unique<CdldFB>());
    t.fbs.back()->Ident = ident;
    t.fbs.back()->TypeName = type;
    return *t.fbs.back();
}

void AddSig(DownloadTables& t, const std::string& name, int32_t number) {
    t.sigs.push_back(std::make_unique<CdldSig>(name));
    t.sigs.back()->Number = number;
}

void AddConst(DownloadTables& t, double value, int32_t number) {
    t.consts.push_back(std::make_unique<CdldConst>(value));
    t.consts.back()->Number = number;
}

std::string Header(const std::string& text) {
    std::string line(64, '-');
    line.replace(8, text.size(), text);
    return line + "\n";
}

// A row a connected pin; the type, number and name columns cut at 48 characters.
TEST(FBlockList, UnconnectedPinsHaveNoRowAndLongNamesAreCut) {
    DownloadTables t;
    AddSig(t, std::string(33, 'N'), 8);
    CdldFB& bus = AddRec(t, "B1", "BUSOUT");
    bus.PinType[1] = 3, bus.PinRef[1] = 8;
    bus.PinType[2] = 5, bus.PinRef[2] = -1;  // a value pin without a value,
    bus.PinType[3] = 6, bus.PinRef[3] = 8;   // and a pin of no known type
    EXPECT_EQ(FBlockListText(t, test::Kmru01()),
              "          FUNCTION BLOCK LIST\n\n" + Header(" EXEC NUM 0  TYPE  BUSOUT  ID B1 ") +
                  "Pin Name        Type    Signum  Name/Value\n\n  1             analog    8     " +
                  std::string(32, 'N') + "\n\n");
}

// Every kind of item in one list: a constant read by a pin, a constant
// driven by an output, an unsourced signal, a multi-sourced one without
// sinks, sinks wrapping after 64 characters, and a header longer than the rule.
TEST(WireList, EveryKindOfItem) {
    DownloadTables t;
    AddConst(t, 2.5, 3);
    AddConst(t, 1, 0);
    AddSig(t, "X", 0);
    AddSig(t, "Y", 4);
    AddSig(t, std::string(60, 'N'), 1);
    CdldFB& g = AddRec(t, "G1");
    g.PinType[2] = 4, g.PinRef[2] = 3;
    CdldFB& k = AddRec(t, "K");
    k.PinType[0] = 4, k.PinRef[0] = 0;
    CdldFB& f = AddRec(t, "F3");
    f.PinType[1] = f.PinType[2] = 1, f.PinRef[1] = f.PinRef[2] = 0;
    for (const char* id : {"A", "B"}) {
        CdldFB& r = AddRec(t, id);
        r.PinType[0] = 3, r.PinRef[0] = 4;
    }
    AddRec(t, "SRC").PinType[0] = 1;
    t.fbs.back()->PinRef[0] = 1;
    for (int i = 0; i < 10; ++i) {
        CdldFB& r = AddRec(t, "BLOCK_" + std::to_string(i));
        r.PinType[1] = 1, r.PinRef[1] = 1;
    }
    WireListCounts c;
    EXPECT_EQ(WireListText(t, c),
              "          WIRE LIST\n\n" + Header(" REFNUM 3  Const  2.500000 ") +
                  "Sources:\n  -none-\nSinks:\n  G1.2\n" + Header(" REFNUM 0  Const  1.000000 ") +
                  "Sources:\n  K.0\n****ERROR: This constant should have no source\nSinks:\n  -none-\n"
                  "\n" + Header(" REFNUM 0  X ") +
                  "Sources:\n****ERROR: This signal has no source\nSinks:\n  F3.1, F3.2\n"
                  "\n" + Header(" REFNUM 4  Y ") +
                  "Sources:\n  A.0, B.0\n****ERROR: This signal has more than one source\n"
                  "Sinks:\n  -none-\n"
                  "\n-------- REFNUM 1  " + std::string(60, 'N') + " \n" +
                  "Sources:\n  SRC.0\nSinks:\n"
                  "  BLOCK_0.1, BLOCK_1.1, BLOCK_2.1, BLOCK_3.1, BLOCK_4.1, BLOCK_5.1\n"
                  "  BLOCK_6.1, BLOCK_7.1, BLOCK_8.1, BLOCK_9.1\n");
    EXPECT_TRUE(c.constErrors == 1 && c.unsourced == 1 && c.multiSourced == 1);
}

std::string U16(uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
DownloadTables Sample() {
    DownloadTables t;
    for (int i = 0; i < 2; ++i) {
        t.consts.push_back(std::make_unique<CdldConst>(2.5 * (i + 1)));
        t.consts.back()->Number = i;
    }
    auto fb = std::make_unique<CdldFB>();
    fb->Ident = "F0101", fb->TypeName = "ADD", fb->TypeNum = 30, fb->Resolved = 1;
    fb->PosX = -5, fb->PosY = 7, fb->Refnum = 101;
    for (int k = 0; k < 16; ++k) fb->PinRef[k] = k * 3 - 1, fb->PinType[k] = k % 6;
    t.fbs.push_back(std::move(fb));
    for (const char* n : {"A", "caf\xC3\xA9", "C"}) {
        t.sigs.push_back(std::make_unique<CdldSig>(n));
        t.sigs.back()->Number = static_cast<int32_t>(t.sigs.size()) - 1;
        t.sigs.back()->Sourced = 1;
    }
    return t;
}

TEST(ProjectImage, DamagedImagesEmptyTheTables) {
    DownloadTables t = Sample();
    const std::string good = StoreImage(t);
    std::string wrongClass = good;
    wrongClass.replace(wrongClass.find("CdldConst"), 9, "CdldSigXX");
    std::string sigInConsts = U16(1) + U16(0xFFFF) + U16(1) + U16(7) + "CdldSig" +
                              "\x01"
                              "A" +
                              std::string(8, '\0') + U16(0) + U16(0);
    for (const std::string& bad :
         {good.substr(0, good.size() - 1), wrongClass, sigInConsts, std::string("\x01", 1)}) {
        DownloadTables u = Sample();
        std::string reason;
        EXPECT_TRUE(!LoadImage(bad, u, &reason) && !reason.empty() && u.Empty());
    }
    for (std::size_t n = 0; n < good.size(); ++n) {
        DownloadTables u;
        EXPECT_FALSE(LoadImage(good.substr(0, n), u, nullptr)) << n;
    }
}

}  // namespace
}  // namespace ostra
