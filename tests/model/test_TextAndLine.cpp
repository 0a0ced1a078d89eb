// Text notes and decorative lines: records, trimming and drawing.
#include <gtest/gtest.h>

#include "model/CArchive.h"
#include "model/COxLine.h"
#include "model/COxPin.h"
#include "model/COxText.h"
#include "model/SheetClasses.h"
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

TEST(COxText, Record) {
    COxText t({4, 3}, "Tank \xE2\x80\x93 level", 16);
    EXPECT_EQ(Store(t), "4, 3, 16\r\nTank \x96 level\r\n");
    const COxText u = Load<COxText>(Store(t));
    EXPECT_EQ(u.text, t.text);
    EXPECT_EQ(u.position, CPoint(4, 3));
    EXPECT_EQ(u.size, 16);
}

TEST(COxText, TextOf120CharactersIsStoredWithItsFirst100) {
    COxText t({0, 0}, std::string(120, 'x'), 8);
    EXPECT_EQ(Load<COxText>(Store(t)).text, std::string(100, 'x'));
}

TEST(COxText, DrawNeedsASurfaceAndMeasures) {
    COxText t({2, 3}, "Hello", 16);
    EXPECT_FALSE(t.Draw(nullptr, DrawParams{}));
    test::RecordingSurface dc;
    t.selected = true;
    ASSERT_TRUE(t.Draw(&dc, DrawParams{}));
    // Base line at (x*s, y*s - s/4); the recorder measures 5 px a character, 10 high.
    EXPECT_EQ(t.bounds, CRect(16, 12, 41, 22));
    EXPECT_EQ(dc.calls, (std::vector<std::string>{"font Arial 16", "text 16,22 L Hello",
                                                  "pen solid 2 255", "rect 14,10,43,24"}));
    DrawParams printing;
    printing.printing = true;
    dc.calls.clear();
    ASSERT_TRUE(t.Draw(&dc, printing));
    EXPECT_TRUE(dc.With("rect").empty());
}

TEST(COxLine, RecordAndColour) {
    COxLine l({1, 2}, {30, 2}, 3, Rgb(0, 128, 255));
    EXPECT_EQ(Store(l), "1, 2, 30, 2, 3, 16744448\r\n");
    const COxLine m = Load<COxLine>(Store(l));
    EXPECT_EQ(m.colour, Rgb(0, 128, 255));
    EXPECT_EQ(m.width, 3);
    EXPECT_EQ(m.end, CPoint(30, 2));
}

TEST(COxLine, DrawAndTrim) {
    COxLine l({4, 1}, {4, 6}, 5, Rgb(10, 20, 30));
    l.selected = true;
    test::RecordingSurface dc;
    ASSERT_TRUE(l.Draw(&dc, DrawParams{}));
    EXPECT_EQ(l.bounds, CRect(29, 5, 35, 51));
    EXPECT_EQ(dc.calls, (std::vector<std::string>{"pen solid 5 1971210", "line 32,8 32,48",
                                                  "pen solid 2 255", "rect 29,5,35,51"}));
    // On paper the pen grows with the scale and the selection is not drawn.
    dc.calls.clear();
    ASSERT_TRUE(l.Draw(&dc, DrawParams{36, {}, true}));
    EXPECT_EQ(dc.calls, (std::vector<std::string>{"pen solid 15 1971210", "line 144,36 144,216"}));
    EXPECT_EQ(l.Trim({4, 2}, {4, 9}), 1);
    EXPECT_EQ(l.end, CPoint(4, 9));
    dc.penOk = false;
    EXPECT_FALSE(l.Draw(&dc, DrawParams{}));
}

}  // namespace
}  // namespace ostra
