// Function blocks: defaults, library copy, symbols, geometry, drawing and the
// 58-line record.
#include <gtest/gtest.h>

#include "model/CArchive.h"
#include "model/COxFunc.h"
#include "model/SheetClasses.h"
#include "support/Recorders.h"

namespace ostra {
namespace {

std::string Store(COxFunc& f) {
    CArchive ar;
    f.Serialize(ar);
    return ar.Buffer();
}

COxFunc Load(const std::string& bytes) {
    CArchive ar(bytes, SheetClassRegistry());
    COxFunc f;
    f.Serialize(ar);
    EXPECT_TRUE(ar.AtEnd());
    return f;
}

TEST(COxFunc, PinPoints) {
    COxFunc f("AND", {10, 20});
    EXPECT_EQ(f.PinPoint(0), CPoint(16, 21));
    EXPECT_EQ(f.PinPoint(1), CPoint(10, 20));
    EXPECT_EQ(f.PinPoint(2), CPoint(10, 22));
    EXPECT_EQ(f.PinPoint(15), CPoint(10, 48));
    f.actualInputs = 40;  // from a damaged file
    EXPECT_EQ(f.LastPinSlot(), 15);
    f.actualInputs = -1;
    EXPECT_EQ(f.LastPinSlot(), -1);
}

std::string DefaultAddRecord() {
    std::string r =
        "0\r\nF\r\n10, 20\r\n0\r\nADD\r\n2, 5\r\n2, 2\r\nT, 0, -4, 32, 30\r\n"
        "T, 2, 2\r\n5, 1\r\n";
    for (int k = 0; k < 16; ++k) r += "\r\n1, _, 0\r\n\r\n";
    return r;
}

TEST(COxFunc, RecordOfANewBlockAndLettersFixedOnStoring) {
    COxFunc f("ADD", {10, 20});
    EXPECT_EQ(Store(f), DefaultAddRecord());
    f.pins[3].letter = '7';
    f.pins[3].value = -5;
    f.pins[4].letter = 'q';
    const std::string bytes = Store(f);
    EXPECT_EQ(f.pins[3].letter, '_');
    EXPECT_EQ(f.pins[3].value, 0);
    EXPECT_NE(bytes.find("\r\n1, q, 0\r\n"), std::string::npos);
}

TEST(COxFunc, FlagLettersOnReading) {
    std::string r = DefaultAddRecord();
    const auto set = [&](const std::string& from, const std::string& to) {
        std::string s = r;
        s.replace(s.find(from), from.size(), to);
        return Load(s);
    };
    EXPECT_FALSE(set("T, 0, -4", "f, 0, -4").symbolFlag);
    EXPECT_FALSE(set("T, 0, -4", "F, 0, -4").symbolFlag);
    EXPECT_TRUE(set("T, 0, -4", "x, 0, -4").symbolFlag);
    EXPECT_FALSE(set("T, 2, 2", "f, 2, 2").canChange);
    EXPECT_TRUE(set("T, 2, 2", "Y, 2, 2").canChange);
}

TEST(COxFunc, DrawSymbolBlockSelectedWithRemovableInputs) {
    COxFunc f("AND", {2, 3});
    f.actualInputs = 3;
    f.selected = true;
    f.typeLabelOffset = {0, 0};  // not drawn
    test::RecordingSurface dc;
    DrawParams p;
    p.scale = 16;
    ASSERT_TRUE(f.Draw(&dc, p));
    EXPECT_EQ(dc.calls.front(), "image 145 0,0,32,34 48,32,112,100");
    EXPECT_EQ(f.bounds, CRect(48, 32, 112, 100));
    // Input 3 may be removed: a blue line up the pin's right edge.
    const auto lines = dc.With("line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "line 48,120 48,88");
    EXPECT_EQ(dc.calls.back(), "rect 32,32,128,100");
    p.printing = true;  // on paper the selection is not marked
    dc.calls.clear();
    ASSERT_TRUE(f.Draw(&dc, p));
    EXPECT_TRUE(dc.With("rect").empty());
}

TEST(COxFunc, ValuePinsAreWrittenInEverySlot) {
    COxFunc f("TERMIN", {0, 0});
    f.actualInputs = 1;
    f.pins[4].type = 5;
    f.pins[4].letter = 'R';
    f.pins[4].value = 12;
    f.pins[14].type = 5;
    f.pins[14].letter = 'Z';
    test::RecordingSurface dc;
    ASSERT_TRUE(f.Draw(&dc, DrawParams{}));
    EXPECT_EQ(dc.With("text 10,54 L R : 12").size(), 1u);  // grid (1, 2*4-1)
    EXPECT_EQ(dc.With("image").size(), 2u);  // the output and input 1: value pins have none
    EXPECT_EQ(dc.With("text 10,214 L Z : 0").size(), 1u);  // grid (1, 27)
}

TEST(COxFunc, BoundsWithoutASurfacePrintOffsetAndNegativePosition) {
    COxFunc f("ADD", {10, 20});
    EXPECT_TRUE(f.Draw(nullptr, DrawParams{}));
    EXPECT_EQ(f.bounds, CRect(88, 152, 120, 186));
    EXPECT_EQ(f.pins[0].bounds, CRect(120, 164, 131, 172));
    EXPECT_EQ(f.pins[1].bounds, CRect(77, 156, 88, 164));
    EXPECT_TRUE(f.pins[3].bounds.IsEmpty());  // beyond the actual inputs
    DrawParams p;
    p.offset = {100, 50};
    p.printing = true;
    EXPECT_TRUE(f.Draw(nullptr, p));
    EXPECT_EQ(f.bounds, CRect(188, 202, 220, 236));
    f.position = {-1, 5};
    test::RecordingSurface dc;
    EXPECT_FALSE(f.Draw(&dc, DrawParams{}));
    EXPECT_TRUE(dc.calls.empty());
}

}  // namespace
}  // namespace ostra
