// Download records and the compiled image.
#include <gtest/gtest.h>

#include "compiler/DownloadRecords.h"
#include "model/COxFunc.h"

namespace ostra {
namespace {

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
