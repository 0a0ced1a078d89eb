// Wire segments: record, comparison, trimming and drawing.
#include <gtest/gtest.h>

#include "model/CArchive.h"
#include "model/COxWireSeg.h"
#include "model/SheetClasses.h"
#include "model/WireTypes.h"
#include "support/Recorders.h"

namespace ostra {
namespace {

std::string Store(COxWireSeg& s) {
    CArchive ar;
    s.Serialize(ar);
    return ar.Buffer();
}

COxWireSeg Load(const std::string& bytes) {
    CArchive ar(bytes, SheetClassRegistry());
    COxWireSeg s;
    s.Serialize(ar);
    EXPECT_TRUE(ar.AtEnd());
    return s;
}

TEST(COxWireSeg, SixtyCharacterNameRoundTrips) {
    COxWireSeg s({0, 0}, {1, 0});
    s.name = std::string(60, 'N');
    EXPECT_EQ(Load(Store(s)).name, s.name);
    s.name = std::string(70, 'N');
    EXPECT_EQ(Load(Store(s)).name, std::string(60, 'N'));
}

TEST(COxWireSeg, Trim) {
    struct Case {
        CPoint start, end, ref, p;
        int result;
        CPoint newStart, newEnd;
    };
    const Case cases[] = {
        // Horizontal (same y): works on x.
        {{10, 5}, {20, 5}, {12, 5}, {10, 9}, 0, {10, 5}, {20, 5}},   // p at the start
        {{10, 5}, {20, 5}, {12, 5}, {20, 5}, 0, {10, 5}, {20, 5}},   // p at the end
        {{10, 5}, {20, 5}, {18, 5}, {14, 5}, -1, {14, 5}, {20, 5}},  // inside, nearer than ref
        {{10, 5}, {20, 5}, {12, 5}, {14, 5}, -1, {10, 5}, {14, 5}},  // inside, ref nearer
        {{10, 5}, {20, 5}, {12, 5}, {25, 5}, 1, {10, 5}, {25, 5}},   // beyond the end
        {{10, 5}, {20, 5}, {12, 5}, {4, 5}, 1, {4, 5}, {20, 5}},     // before the start
        {{10, 5}, {20, 5}, {12, 5}, {15, 5}, -1, {10, 5}, {15, 5}},  // ref nearer the start
        // Vertical: works on y; drawn upwards.
        {{3, 30}, {3, 10}, {3, 12}, {3, 20}, -1, {3, 20}, {3, 10}},
        {{3, 30}, {3, 10}, {3, 12}, {3, 40}, 1, {3, 40}, {3, 10}},
        {{3, 30}, {3, 10}, {3, 12}, {3, 0}, 1, {3, 30}, {3, 0}},
        {{0, 0}, {0, 10}, {0, 1}, {0, 5}, -1, {0, 0}, {0, 5}},
        // Equal distances outside (a zero-length piece): the end moves.
        {{5, 0}, {5, 0}, {5, 0}, {7, 0}, 1, {5, 0}, {7, 0}},
    };
    for (const Case& c : cases) {
        COxWireSeg s(c.start, c.end);
        EXPECT_EQ(s.Trim(c.ref, c.p), c.result);
        EXPECT_EQ(s.start, c.newStart);
        EXPECT_EQ(s.end, c.newEnd);
    }
}

TEST(COxWireSeg, CrossReferenceNamesAndJunctionDot) {
    DrawParams p;
    p.scale = 16;
    COxWireSeg s({1, 2}, {1, 6});
    s.name = "LEVEL";
    s.startState = kEndCrossRef;
    s.endState = kEndJunction;
    test::RecordingSurface dc;
    ASSERT_TRUE(s.Draw(&dc, p));
    EXPECT_EQ(dc.With("image"), (std::vector<std::string>{"image 350 0,0,4,4 12,92,20,100"}));
    EXPECT_EQ(dc.With("text"), (std::vector<std::string>{"text 20,28 L LEVEL"}));

    s.startState = 0;
    s.endState = kEndCrossRef;
    dc.calls.clear();
    ASSERT_TRUE(s.Draw(&dc, p));
    EXPECT_EQ(dc.With("text"), (std::vector<std::string>{"text 12,92 R LEVEL"}));
    // A selected wire on paper: black, and as wide as the scale makes a pixel.
    s.selected = true;
    p.printing = true;
    p.scale = 36;
    dc.calls.clear();
    ASSERT_TRUE(s.Draw(&dc, p));
    EXPECT_EQ(dc.With("pen"), (std::vector<std::string>{"pen solid 6 0"}));
}

}  // namespace
}  // namespace ostra
