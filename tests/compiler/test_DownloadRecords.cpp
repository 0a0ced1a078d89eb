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
