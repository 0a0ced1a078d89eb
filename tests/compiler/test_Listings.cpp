// The compile listings, byte for byte, from hand-made tables.
#include <gtest/gtest.h>

#include "compiler/Listings.h"
#include "project/CFuncLibrary.h"
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

TEST(FBlockList, RowsWithAndWithoutLibraryDefinition) {
    DownloadTables t;
    AddSig(t, "LEVEL", 6);
    AddConst(t, 0.025, 0);
    CdldFB& term = AddRec(t, "LT101", "TERMIN");
    term.PinType[0] = 3;
    term.PinRef[0] = 6;
    term.PinType[5] = 5;
    term.PinRef[5] = 7;
    term.PinType[1] = 3;
    term.PinRef[1] = 99;  // no such signal: the row is left out
    term.PinType[2] = 4;
    term.PinRef[2] = 0;
    term.PinType[3] = 1;
    term.PinRef[3] = -1;  // nothing connected: no row
    CdldFB& bus = AddRec(t, "__BOUTX1S3U0R0", "BUSOUT");
    bus.PinType[1] = 2;
    bus.PinRef[1] = 6;
    bus.PinType[2] = 6;  // no such type: no row
    bus.PinRef[2] = 6;
    AddSig(t, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456", 8);  // a 49-character column is cut to 48
    bus.PinType[3] = 3;
    bus.PinRef[3] = 8;
    const std::string expected = "          FUNCTION BLOCK LIST\n\n" +
                                 Header(" EXEC NUM 0  TYPE  TERMIN  ID LT101 ") +
                                 "Pin Name        Type    Signum  Name/Value\n\n"
                                 "  0 Q           analog    6     LEVEL\n"
                                 "  2 Slot        const     0     0.025000\n"
                                 "  5 Mask        valbox    7     7\n"
                                 "\n" +
                                 Header(" EXEC NUM 1  TYPE  BUSOUT  ID __BOUTX1S3U0R0 ") +
                                 "Pin Name        Type    Signum  Name/Value\n\n"
                                 "  1             dig INV   6     LEVEL\n"
                                 "  3             analog    8     ABCDEFGHIJKLMNOPQRSTUVWXYZ012345\n"
                                 "\n";
    EXPECT_EQ(FBlockListText(t, test::Kmru01()), expected);
}

}  // namespace
}  // namespace ostra
