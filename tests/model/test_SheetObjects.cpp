// The sheet's objects one by one: function blocks (defaults, library copy, geometry, drawing, the
// 58-line record), wire segments (record), text notes and decorative lines (records, trimming,
// drawing). How whole sheets draw is pinned by the reference pictures of the example.
#include <gtest/gtest.h>

#include "model/CArchive.h"
#include "model/COxFunc.h"
#include "model/COxLine.h"
#include "model/COxPin.h"
#include "model/COxText.h"
#include "model/COxWireSeg.h"
#include "model/SheetClasses.h"
#include "model/WireTypes.h"
#include "support/Recorders.h"

namespace ostra {
namespace {

template <typename T>
std::string Store(T& obj) {
    CArchive ar;
    obj.Serialize(ar);
    return ar.Buffer();
}

template <typename T>
T Load(const std::string& bytes) {
    CArchive ar(bytes, SheetClassRegistry());
    T obj;
    obj.Serialize(ar);
    EXPECT_TRUE(ar.AtEnd());
    return obj;
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
    f.pins[3].letter = '7', f.pins[3].value = -5, f.pins[4].letter = 'z', f.pins[5].letter = 'a';
    const std::string bytes = Store(f);
    EXPECT_TRUE(f.pins[3].letter == '_' && f.pins[3].value == 0 &&
                bytes.find("\r\n1, z, 0\r\n\r\n\r\n1, a, 0\r\n") != std::string::npos);
}

TEST(COxFunc, FlagLettersOnReading) {
    std::string r = DefaultAddRecord();
    const auto set = [&](const std::string& from, const std::string& to) {
        std::string s = r;
        s.replace(s.find(from), from.size(), to);
        return Load<COxFunc>(s);
    };
    COxFunc placed("ADD", {0, 0});  // a placed block is drawn as its library entry says
    placed.CopyFrom(set("T, 0, -4", "F, 0, -4"));
    EXPECT_TRUE(!set("T, 0, -4", "f, 0, -4").symbolFlag && !placed.symbolFlag &&
                set("T, 0, -4", "x, 0, -4").symbolFlag);
    EXPECT_TRUE(!set("T, 2, 2", "f, 2, 2").canChange && set("T, 2, 2", "Y, 2, 2").canChange);
    EXPECT_FALSE(set("T, 2, 2", "").canChange);  // no letter: not the symbol line's
    EXPECT_EQ(set("1, _, 0\r\n\r\n", "1, _, 0\r\n" + std::string(40, 's') + "\r\n").pins[0].signal,
              std::string(30, 's'));  // a pin's signal name keeps 30 characters
}

TEST(COxFunc, DrawSymbolBlockSelectedWithRemovableInputs) {
    COxFunc f("AND", {2, 3});
    f.actualInputs = 3, f.selected = true;
    f.typeLabelOffset = {0, 0};  // not drawn
    f.ident = "A1", f.identLabelOffset = {1, -1};
    test::RecordingSurface dc;
    DrawParams p;
    p.scale = 16;
    ASSERT_TRUE(f.Draw(&dc, p));
    // The ident at (3, 2), in 12 points at 16 pixels a unit.
    EXPECT_EQ(dc.With("font").back() + "|" + dc.With("text").back(),
              "font Arial 24|text 52,28 L A1");
    EXPECT_EQ(dc.calls.front(), "image 145 0,0,32,34 48,32,112,100");
    const std::pair<const char*, int> symbols[] = {
        {"ADD", 144}, {"AND", 145}, {"BITAND", 146}, {"BITOR", 147}, {"DIV", 148}, {"MULT", 149},
        {"OR", 150},  {"SUB", 154}, {"NOT", 155},    {"XOR", 156},   {"GT", 0}};
    for (const auto& [type, id] : symbols) EXPECT_EQ(SymbolIdOf(type), id) << type;
    EXPECT_EQ(f.bounds, CRect(48, 32, 112, 100));
    // Input 3 may be removed: a blue line up the pin's right edge.
    EXPECT_EQ(dc.With("line"), std::vector<std::string>{"line 48,120 48,88"});
    EXPECT_EQ(dc.calls.back(), "rect 32,32,128,100");
    p.printing = true;  // on paper the selection is not marked
    dc.calls.clear();
    ASSERT_TRUE(f.Draw(&dc, p));
    EXPECT_TRUE(dc.With("rect").empty());
}

TEST(COxFunc, BoundsWithoutASurfacePrintOffsetAndNegativePosition) {
    COxFunc f("ADD", {10, 20});
    EXPECT_TRUE(f.Draw(nullptr, DrawParams{}));
    EXPECT_EQ(test::RectText(f.bounds) + " " + test::RectText(f.pins[0].bounds) + " " +
                  test::RectText(f.pins[1].bounds),
              "88,152,120,186 120,164,131,172 77,156,88,164");
    DrawParams p;
    p.offset = {100, 50}, p.printing = true;
    EXPECT_TRUE(f.Draw(nullptr, p));  // the pins move with it
    EXPECT_EQ(test::RectText(f.bounds) + " " + test::RectText(f.pins[1].bounds),
              "188,202,220,236 177,206,188,214");
    f.typeLabelOffset = {1, 3};
    test::RecordingSurface typed;
    EXPECT_TRUE(f.Draw(&typed, p) && typed.With("text 190,232 L ADD").size() == 1u);  // (11, 23)
    f.position = {-1, 5};
    test::RecordingSurface dc;
    EXPECT_TRUE(!f.Draw(&dc, DrawParams{}) && dc.calls.empty());
}

TEST(COxWireSeg, SixtyCharacterNameRoundTrips) {
    COxWireSeg s({0, 0}, {4, 0});
    s.name = std::string(60, 'N'), s.showName = true;
    const COxWireSeg loaded = Load<COxWireSeg>(Store(s));
    // A loaded object is never picked.
    EXPECT_TRUE(loaded.name == s.name && loaded.showName && !loaded.selected && !loaded.mark);
    s.name = std::string(70, 'N');
    EXPECT_EQ(Load<COxWireSeg>(Store(s)).name, std::string(60, 'N'));
    // Selected, on paper: black, as wide as the scale makes a pixel; a junction's dot.
    s.selected = true, s.endState = kEndJunction;
    test::RecordingSurface dc;
    EXPECT_TRUE(s.Draw(nullptr, {}) && s.Draw(&dc, DrawParams{36, {}, true}) &&
                dc.With("pen") == std::vector<std::string>{"pen solid 6 0"});
    EXPECT_EQ(dc.With("image"), std::vector<std::string>{"image 350 0,0,4,4 135,-9,153,9"});
    EXPECT_EQ(dc.With("text 63,-9 C " + s.name).size(), 1u);  // the name over the middle
}

TEST(COxText, Record) {
    COxText t({4, 3}, "Tank \xE2\x80\x93 level", 16);
    EXPECT_EQ(Store(t), "4, 3, 16\r\nTank \x96 level\r\n");
    const COxText u = Load<COxText>(Store(t));
    EXPECT_TRUE(u.text == t.text && u.position == CPoint(4, 3) && u.size == 16 && !u.selected && !u.mark);
    // Long texts store their first 100 characters and read up to 127.
    t.text = std::string(120, 'x');
    EXPECT_EQ(Load<COxText>(Store(t)).text, std::string(100, 'x'));
    const std::string record = "0, 0, 8\r\n" + std::string(130, 'x') + "\r\n";
    CArchive ar(record, SheetClassRegistry());
    t.Serialize(ar);
    EXPECT_EQ(t.text, std::string(127, 'x'));
}

TEST(COxLine, DrawAndTrim) {
    COxLine l({4, 6}, {4, 1}, 5, Rgb(10, 20, 30));
    l.selected = true;
    test::RecordingSurface dc;
    ASSERT_TRUE(l.Draw(&dc, DrawParams{}));
    EXPECT_TRUE(l.bounds == CRect(29, 5, 35, 51) && !Load<COxLine>(Store(l)).selected);
    EXPECT_EQ(dc.calls, (std::vector<std::string>{"pen solid 5 1971210", "line 32,48 32,8",
                                                  "pen solid 2 255", "rect 29,5,35,51"}));
    // On paper the pen grows with the scale and the selection is not drawn.
    dc.calls.clear();
    ASSERT_TRUE(l.Draw(&dc, DrawParams{36, {}, true}));
    EXPECT_EQ(dc.calls, (std::vector<std::string>{"pen solid 15 1971210", "line 144,216 144,36"}));
    EXPECT_TRUE(l.Trim({4, 2}, {4, 9}) == 1 && l.start == CPoint(4, 9) && l.Trim({}, {4, 1}) == 0);
    dc.penOk = false;  // a pen the surface cannot make
    EXPECT_FALSE(l.Draw(&dc, DrawParams{}));
}

}  // namespace
}  // namespace ostra
