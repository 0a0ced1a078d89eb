// Download records and the compiled image.
#include <gtest/gtest.h>

#include "compiler/DownloadRecords.h"
#include "model/COxFunc.h"

namespace ostra {
namespace {

std::string U16(uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
TEST(CdldFB, MadeFromABlock) {
    COxFunc f("TERMOUT", {12, 34});
    f.ident = "PUMP";
    f.typeNumber = 5;
    f.refnum = 207;
    for (int k = 0; k < 16; ++k) f.pins[k].type = k % 6;
    const int32_t values[] = {1, 3, 0, 2};
    for (int i = 0; i < 4; ++i) f.pins[2 + i].value = values[i];
    CdldFB r(f);
    EXPECT_EQ(r.Ident, "PUMP");
    EXPECT_EQ(r.TypeName, "TERMOUT");
    EXPECT_EQ(r.TypeNum, 5);
    EXPECT_EQ(r.Refnum, 207);
    EXPECT_EQ(r.PosX, 12);
    EXPECT_EQ(r.PosY, 34);
    EXPECT_EQ(r.Address, (std::array<int32_t, 4>{1, 3, 0, 2}));
    EXPECT_EQ(r.Resolved, 0);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(r.PinRef[k], -1);
        EXPECT_EQ(r.PinType[k], k % 6);
    }
    f.functionType = "TERMIN";  // takes slots 1 to 4
    f.pins[1].value = 9;
    EXPECT_EQ(CdldFB(f).Address, (std::array<int32_t, 4>{9, 1, 3, 0}));
    f.functionType = "termin";
    EXPECT_EQ(CdldFB(f).Address, (std::array<int32_t, 4>{-1, -1, -1, -1}));
}

DownloadTables Sample() {
    DownloadTables t;
    for (int i = 0; i < 2; ++i) {
        t.consts.push_back(std::make_unique<CdldConst>(2.5 * (i + 1)));
        t.consts.back()->Number = i;
    }
    auto fb = std::make_unique<CdldFB>();
    fb->Ident = "F0101";
    fb->TypeName = "ADD";
    fb->Resolved = 1;
    fb->TypeNum = 30;
    fb->PosX = -5;
    fb->PosY = 7;
    fb->Refnum = 101;
    for (int k = 0; k < 16; ++k) fb->PinRef[k] = k * 3 - 1, fb->PinType[k] = k % 6;
    t.fbs.push_back(std::move(fb));
    for (const char* n : {"A", "caf\xC3\xA9", "C"}) {
        t.sigs.push_back(std::make_unique<CdldSig>(n));
        t.sigs.back()->Number = static_cast<int32_t>(t.sigs.size()) - 1;
        t.sigs.back()->Sourced = 1;
    }
    return t;
}

TEST(ProjectImage, RoundTripKeepsEveryField) {
    DownloadTables t = Sample();
    const std::string bytes = StoreImage(t);
    DownloadTables u;
    std::string reason;
    ASSERT_TRUE(LoadImage(bytes, u, &reason)) << reason;
    ASSERT_EQ(u.consts.size(), 2u);
    EXPECT_EQ(u.consts[1]->Value, 5.0);
    ASSERT_EQ(u.fbs.size(), 1u);
    const CdldFB& a = *t.fbs[0];
    const CdldFB& b = *u.fbs[0];
    EXPECT_EQ(b.Ident, a.Ident);
    EXPECT_EQ(b.TypeName, a.TypeName);
    EXPECT_EQ(b.Resolved, 1);
    EXPECT_EQ(b.PosX, -5);
    EXPECT_EQ(b.Address, a.Address);
    EXPECT_EQ(b.PinRef, a.PinRef);
    EXPECT_EQ(b.PinType, a.PinType);
    EXPECT_EQ(u.sigs[1]->Name, "caf\xC3\xA9");
    EXPECT_EQ(StoreImage(u), bytes);
}

TEST(ProjectImage, LongNames) {
    DownloadTables t;
    t.sigs.push_back(std::make_unique<CdldSig>(std::string(127, 's')));
    t.sigs.push_back(std::make_unique<CdldSig>(std::string(130, 'l')));
    DownloadTables u;
    ASSERT_TRUE(LoadImage(StoreImage(t), u, nullptr));
    EXPECT_EQ(u.sigs[0]->Name, std::string(127, 's'));
    EXPECT_EQ(u.sigs[1]->Name, std::string(127, 'l'));  // cut to what the image can hold
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
        EXPECT_FALSE(LoadImage(bad, u, &reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_TRUE(u.Empty());
    }
    for (std::size_t n = 0; n < good.size(); ++n) {
        DownloadTables u;
        EXPECT_FALSE(LoadImage(good.substr(0, n), u, nullptr)) << n;
    }
}


}  // namespace
}  // namespace ostra
