// The wire check on small hand-made sheets: classification of wire ends,
// reversal, merges, junction splits, naming, and the messages it shows.
#include <gtest/gtest.h>

#include "model/COstra_PLCDoc.h"
#include "model/WireTypes.h"
#include "support/Recorders.h"
#include "support/SheetBuilder.h"

namespace ostra {
namespace {

using test::RecordingMessageBox;
using test::SheetBuilder;

struct Shown {
    std::string text, caption;
    MsgIcon icon;
};

std::vector<Shown> Messages(const RecordingMessageBox& box) {
    std::vector<Shown> out;
    for (const auto& m : box.messages) out.push_back({m.text, m.caption, m.icon});
    return out;
}

void ExpectPassed(const RecordingMessageBox& box) {
    const auto m = Messages(box);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].text, "No Wiring Errors");
    EXPECT_EQ(m[0].caption, "Wiring Check");
    EXPECT_EQ(m[0].icon, MsgIcon::None);
    EXPECT_EQ(m[1].text, "No Signal Naming Errors");
    EXPECT_EQ(m[1].caption, "Signal Naming Check");
}

// A sheet, its builder and the message box a check reports to.
class WireCheckTest : public ::testing::Test {
  protected:
    COstra_PLCDoc doc;
    SheetBuilder b{doc};
    RecordingMessageBox box;
};

TEST_F(WireCheckTest, SheetWithoutWiresPasses) {
    b.Block("NOT", "N1", 2, 2);
    const WireCheckResult r = doc.WireCheck(box);
    EXPECT_TRUE(r.passed);
    ExpectPassed(box);
    EXPECT_EQ(doc.checkState, 1);
    EXPECT_TRUE(doc.modified);  // the check state is saved with the sheet
}

TEST_F(WireCheckTest, StraightWireFromOutputToInput) {
    b.Block("NOT", "N1", 2, 2);
    b.Block("GT", "G1", 20, 2);
    COxWireSeg& s = b.Seg(b.Out("N1"), b.In("G1", 1));
    EXPECT_TRUE(doc.WireCheck(box).passed);
    ExpectPassed(box);
    EXPECT_EQ(s.startState, kEndFromOutput);
    EXPECT_EQ(s.endState, kEndToInput);
    EXPECT_EQ(s.fromSource, 1);
    EXPECT_EQ(s.name, "N1");  // an unnamed wire takes the block's ident
    EXPECT_EQ(s.error, kWireOk);
    EXPECT_EQ(b["G1"].pins[1].signal, "N1");
    EXPECT_EQ(b["N1"].pins[0].signal, "N1");
    EXPECT_TRUE(doc.modified);
}

TEST_F(WireCheckTest, WireDrawnFromInputToOutputIsReversed) {
    b.Block("NOT", "N1", 2, 2);
    b.Block("GT", "G1", 20, 2);
    COxWireSeg& s = b.Seg(b.In("G1", 1), b.Out("N1"), "SIG");
    EXPECT_TRUE(doc.WireCheck(box).passed);
    EXPECT_EQ(s.start, b.Out("N1"));
    EXPECT_EQ(s.end, b.In("G1", 1));
    EXPECT_EQ(s.name, "SIG");
    EXPECT_EQ(b["G1"].pins[1].signal, "SIG");
}

TEST_F(WireCheckTest, WestwardWireFromAnOutputIsAnErrorAndStopsTheCheck) {
    b.Block("NOT", "N1", 20, 2);
    b["N1"].pins[1].signal = "stale";
    COxWireSeg& s = b.Seg(b.Out("N1"), {10, 2});
    const WireCheckResult r = doc.WireCheck(box);
    EXPECT_FALSE(r.passed);
    EXPECT_EQ(r.wiringErrors, 1);
    const auto m = Messages(box);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].text, "1 Wiring Error");
    EXPECT_EQ(m[0].caption, "Wiring Errors");
    EXPECT_EQ(m[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(s.error, kWireWrongDirection);
    EXPECT_EQ(doc.checkState, -1);
    // The naming step did not run: every pin signal is empty.
    for (const auto& pin : b["N1"].pins) EXPECT_EQ(pin.signal, "");
}

TEST(WireCheck, CrossReferenceStartNeedsAName) {
    {
        COstra_PLCDoc doc;
        SheetBuilder b(doc);
        b.Block("GT", "G1", 8, 2);
        COxWireSeg& s = b.Seg({2, 2}, b.In("G1", 1));
        s.refnum = 7;
        RecordingMessageBox box;
        EXPECT_EQ(doc.WireCheck(box).wiringErrors, 1);
        EXPECT_EQ(s.error, kWireNamingError);
        EXPECT_EQ(s.refnum, 0);
        EXPECT_EQ(s.startState, kEndCrossRef);
    }
    {
        COstra_PLCDoc doc;
        SheetBuilder b(doc);
        b.Block("GT", "G1", 8, 2);
        COxWireSeg& s = b.Seg({2, 2}, b.In("G1", 1), "LEVEL");
        RecordingMessageBox box;
        EXPECT_TRUE(doc.WireCheck(box).passed);
        EXPECT_EQ(s.fromSource, 100);
        EXPECT_EQ(s.startState, kEndCrossRef);
        EXPECT_EQ(b["G1"].pins[1].signal, "LEVEL");
    }
}

TEST_F(WireCheckTest, TwoWiresEndingAtOneFreePoint) {
    b.Block("NOT", "N1", 2, 2);
    b.Block("NOT", "N2", 2, 10);
    COxWireSeg& s1 = b.Seg(b.Out("N1"), {14, 2});
    b.Seg(b.Out("N2"), {14, 10});
    COxWireSeg& s2b = b.Seg({14, 10}, {14, 2});
    const WireCheckResult r = doc.WireCheck(box);
    EXPECT_EQ(r.wiringErrors, 1);  // the point counts once
    EXPECT_EQ(s1.endState, kEndFaulty);
    EXPECT_EQ(s1.error, kWireMultipleFinishes);
    EXPECT_EQ(s2b.endState, kEndFaulty);
    EXPECT_EQ(s2b.error, kWireMultipleFinishes);
    EXPECT_EQ(doc.FindPoint({14, 2})->state, kWpTooManyEnds);
    EXPECT_EQ(doc.FindPoint({14, 10})->state, kWpBend);
}

TEST_F(WireCheckTest, WireEndInsideABlockBody) {
    b.Block("NOT", "N1", 10, 2);
    COxWireSeg& s = b.Seg({2, 3}, {12, 3}, "A");
    EXPECT_EQ(doc.WireCheck(box).wiringErrors, 1);
    EXPECT_EQ(s.error, kWireEndInBody);
}

TEST_F(WireCheckTest, PiecesAlongOneLineAreMerged) {
    b.Block("GT", "G1", 12, 2);
    b.Seg({2, 2}, {6, 2}, "A");
    b.Seg({6, 2}, {9, 2});
    b.Seg({9, 2}, b.In("G1", 1));
    EXPECT_TRUE(doc.WireCheck(box).passed);
    ASSERT_EQ(doc.segments.size(), 1u);
    EXPECT_EQ(doc.segments[0]->start, CPoint(2, 2));
    EXPECT_EQ(doc.segments[0]->end, CPoint(12, 2));
    EXPECT_EQ(doc.segments[0]->name, "A");
    EXPECT_EQ(b["G1"].pins[1].signal, "A");
}

TEST_F(WireCheckTest, AWireEndInsideAnotherWireMakesAJunction) {
    b.Block("GT", "G1", 20, 2);
    b.Block("GT", "G2", 20, 8);
    COxWireSeg& main = b.Seg({2, 2}, b.In("G1", 1), "A");
    b.Seg({10, 2}, {10, 8});
    b.Seg({10, 8}, b.In("G2", 1));
    EXPECT_TRUE(doc.WireCheck(box).passed);
    ASSERT_EQ(doc.segments.size(), 4u);
    // The new piece goes to the front of the list.
    EXPECT_EQ(doc.segments[0]->start, CPoint(10, 2));
    EXPECT_EQ(doc.segments[0]->end, CPoint(20, 2));
    EXPECT_EQ(doc.segments[0]->startState, kEndJunction);
    EXPECT_EQ(main.end, CPoint(10, 2));
    EXPECT_EQ(main.endState, kEndJunction);
    EXPECT_EQ(doc.FindPoint({10, 2})->state, kWpJunction);
    EXPECT_EQ(b["G1"].pins[1].signal, "A");
    EXPECT_EQ(b["G2"].pins[1].signal, "A");
    EXPECT_EQ(doc.segments[0]->fromSource, 101);
}

TEST_F(WireCheckTest, WiresCrossingInTheirInsidesDoNotConnect) {
    b.Block("GT", "G1", 20, 5);
    b.Block("GT", "G2", 20, 9);
    b.Seg({2, 5}, b.In("G1", 1), "A");
    b.Seg({10, 1}, {10, 9}, "B");
    b.Seg({10, 9}, b.In("G2", 1));
    EXPECT_TRUE(doc.WireCheck(box).passed);
    EXPECT_EQ(doc.segments.size(), 3u);
    EXPECT_EQ(b["G1"].pins[1].signal, "A");
    EXPECT_EQ(b["G2"].pins[1].signal, "B");
}

TEST_F(WireCheckTest, ASecondWireDrawnOverTheFirstIsRemoved) {
    b.Block("NOT", "N1", 2, 2);
    b.Block("GT", "G1", 20, 2);
    b.Block("GT", "G2", 20, 8);
    b.Seg(b.Out("N1"), b.In("G1", 1));
    b.Seg(b.Out("N1"), {14, 2});  // runs back over the first wire
    b.Seg({14, 2}, {14, 8});
    b.Seg({14, 8}, b.In("G2", 1));
    EXPECT_TRUE(doc.WireCheck(box).passed);
    ASSERT_EQ(doc.segments.size(), 4u);
    EXPECT_EQ(doc.segments[0]->start, CPoint(14, 2));
    EXPECT_EQ(doc.segments[0]->end, CPoint(20, 2));
    EXPECT_EQ(b["G2"].pins[1].signal, "N1");
}

TEST_F(WireCheckTest, TwoWiresLeavingOneOutputAreNotMultipleSources) {
    b.Block("NOT", "N1", 2, 2);
    b.Block("GT", "G1", 20, 2);
    b.Block("GT", "G2", 20, 8);
    b.Seg(b.Out("N1"), {8, 8});  // south first
    b.Seg({8, 8}, b.In("G2", 1));
    b.Seg(b.Out("N1"), b.In("G1", 1));
    EXPECT_TRUE(doc.WireCheck(box).passed);
    EXPECT_EQ(b["G1"].pins[1].signal, "N1");
    EXPECT_EQ(b["G2"].pins[1].signal, "N1");
}

TEST_F(WireCheckTest, AClosedLoopWithoutSourceIsANamingError) {
    b.Seg({2, 2}, {8, 2});
    b.Seg({8, 2}, {8, 6});
    b.Seg({8, 6}, {2, 6});
    b.Seg({2, 6}, {2, 2});
    const WireCheckResult r = doc.WireCheck(box);
    EXPECT_EQ(r.wiringErrors, 0);
    EXPECT_EQ(r.namingErrors, 4);
    const auto m = Messages(box);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[1].text, "4 Signal Naming Errors");
    EXPECT_EQ(m[1].caption, "Signal Naming Errors");
    EXPECT_EQ(m[1].icon, MsgIcon::Exclamation);
    EXPECT_EQ(doc.checkState, -1);
}

TEST_F(WireCheckTest, SeveralWiringErrorsArePlural) {
    b.Seg({2, 2}, {8, 2});
    b.Seg({2, 12}, {8, 12});
    EXPECT_EQ(doc.WireCheck(box).wiringErrors, 2);
    EXPECT_EQ(box.messages[0].text, "2 Wiring Errors");
}

TEST_F(WireCheckTest, NormaliseStopsAtTheFirstZeroLengthSegmentFromTheEnd) {
    COxWireSeg& w = b.Seg({2, 2}, {8, 2});
    b.Seg({5, 5}, {5, 5});
    b.Seg({9, 9}, {9, 9});
    EXPECT_TRUE(doc.NormaliseSegments());
    EXPECT_EQ(doc.segments.size(), 2u);
    EXPECT_EQ(doc.segments[1]->start, CPoint(5, 5));
    EXPECT_EQ(w.direction, kDirNone);  // not reached this time
    EXPECT_TRUE(doc.NormaliseSegments());
    EXPECT_FALSE(doc.NormaliseSegments());
    EXPECT_EQ(w.direction, kDirEast);
    EXPECT_TRUE(doc.modified);
}

TEST_F(WireCheckTest, ZeroLengthSegmentsAreGoneAfterACheck) {
    b.Block("GT", "G1", 12, 2);
    b.Seg({2, 2}, b.In("G1", 1), "A");
    b.Seg({30, 30}, {30, 30});
    b.Seg({40, 40}, {40, 40});
    EXPECT_TRUE(doc.WireCheck(box).passed);
    EXPECT_EQ(doc.segments.size(), 1u);
}

TEST_F(WireCheckTest, DiagonalSegmentsHaveNoDirectionAndAreNeverHit) {
    COxWireSeg& d = b.Seg({2, 2}, {6, 6});
    doc.NormaliseSegments();
    EXPECT_EQ(d.direction, kDirNone);
    EXPECT_EQ(doc.HitTest({2, 2}), -1);
    EXPECT_EQ(doc.HitTest({4, 4}), -1);
    EXPECT_EQ(doc.hit.kind, kHitNothing);
}

TEST_F(WireCheckTest, HitTest) {
    b.Block("GT", "G1", 20, 2);
    b.Seg({2, 5}, {10, 5}).refnum = 9;
    b.Seg({40, 2}, {40, 8}).refnum = 11;
    b.Seg({6, 2}, {6, 8}).refnum = 12;  // crosses the first: the first in the list wins
    // The plain scan, then the index the check builds: the same answers.
    for (bool indexed : {false, true}) {
        if (indexed) doc.BuildHitIndex();
        const struct {
            CPoint at;
            int32_t ref, kind;
        } cases[] = {
            {{21, 1}, b["G1"].refnum, kHitBody},  {{20, 4}, b["G1"].refnum, kHitInputPin},
            {{28, 3}, b["G1"].refnum, kHitOutputPin}, {{2, 5}, 9, kHitSegStart},
            {{6, 5}, 9, kHitSegInterior},         {{10, 5}, 9, kHitSegEnd},
            {{11, 5}, -1, kHitNothing},           {{40, 2}, 11, kHitSegStart},
            {{40, 5}, 11, kHitSegInterior},       {{40, 8}, 11, kHitSegEnd},
            {{40, 9}, -1, kHitNothing},           {{41, 5}, -1, kHitNothing},
            {{6, 5}, 9, kHitSegInterior},         {{6, 3}, 12, kHitSegInterior},
        };
        for (const auto& c : cases) {
            EXPECT_EQ(doc.HitTest(c.at), c.ref) << c.at.x << "," << c.at.y << " " << indexed;
            EXPECT_EQ(doc.hit.kind, c.kind) << c.at.x << "," << c.at.y << " " << indexed;
        }
    }
    doc.DropHitIndex();
    doc.HitTest({21, 1});
    EXPECT_EQ(doc.hit.point, CPoint(20, 2));
    EXPECT_EQ(doc.hit.pin, -1);
    doc.HitTest({20, 4});
    EXPECT_EQ(doc.hit.pin, 2);
    // A block whose refnum is -1 is as good as nothing.
    b["G1"].refnum = -1;
    EXPECT_EQ(doc.HitTest({21, 1}), -1);
}

TEST(WireCheck, ReverseSegmentSwapsEndsStatesAndDirection) {
    COxWireSeg s({1, 1}, {5, 1});
    s.startState = 1;
    s.endState = 2;
    s.direction = kDirEast;
    COstra_PLCDoc::ReverseSegment(s);
    EXPECT_EQ(s.start, CPoint(5, 1));
    EXPECT_EQ(s.startState, 2);
    EXPECT_EQ(s.direction, kDirWest);
    s.direction = kDirNorth;
    COstra_PLCDoc::ReverseSegment(s);
    EXPECT_EQ(s.direction, kDirSouth);
}

TEST_F(WireCheckTest, ASecondCheckGivesTheSameResult) {
    b.Block("GT", "G1", 20, 2);
    b.Block("GT", "G2", 20, 8);
    b.Seg({2, 2}, b.In("G1", 1), "A");
    b.Seg({10, 2}, {10, 8});
    b.Seg({10, 8}, b.In("G2", 1));
    ASSERT_TRUE(doc.WireCheck(box).passed);
    const std::string first = doc.SaveToBytes();
    ASSERT_TRUE(doc.WireCheck(box).passed);
    EXPECT_EQ(doc.SaveToBytes(), first);
}

}  // namespace
}  // namespace ostra
