// The editing logic driven by scripted mouse, key and command sequences.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>

#include "model/SheetEditor.h"
#include "model/WireTypes.h"
#include "support/EditScript.h"
#include "support/EditorHost.h"

namespace ostra::test {
namespace {

constexpr int kScale = 8;

std::string SegText(CPoint a, CPoint b) {
    return "(" + std::to_string(a.x) + "," + std::to_string(a.y) + ")-(" + std::to_string(b.x) +
           "," + std::to_string(b.y) + ")";
}
std::string SegText(const COxWireSeg& s) { return SegText(s.start, s.end); }

std::vector<std::string> Segs(const COstra_PLCDoc& doc) {
    std::vector<std::string> out;
    for (const auto& s : doc.segments) out.push_back(SegText(*s));
    return out;
}

class Editor : public ::testing::Test {
  protected:
    Editor() : ed(doc, host, clip) {
        doc.title = "Sheet_01";
        ed.Scale = kScale;
    }
    static CPoint Px(int gx, int gy) { return {gx * kScale, gy * kScale}; }
    // The view draws before the user can point at anything; bounds come from it.
    void Draw(COstra_PLCDoc& d) {
        RecordingSurface dc;
        DrawSheet(d, dc, kScale, false);
    }
    void Draw() { Draw(doc); }
    static CPoint Centre(const CRect& r) {
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Click(CPoint px, MouseFlags f = {}) {
        ed.LeftPress(f, px);
        ed.LeftRelease(f, px);
    }
    void PressGrid(int gx, int gy) { ed.LeftPress({}, Px(gx, gy)); }
    // A right press at `px` that takes `command` from the menu it opens.
    void MenuCommand(int32_t command, CPoint px) {
        host.menuAnswers = {command};
        ed.RightPress({}, px);
    }
    COxFunc& AddBlock(const std::string& type, int x, int y) {
        return SheetBuilder(doc).Block(type, "B" + std::to_string(doc.blocks.size()), x, y);
    }
    COxText& AddText(int x, int y, const std::string& t) {
        doc.texts.push_back(std::make_unique<COxText>(CPoint(x, y), t, 12));
        return *doc.texts.back();
    }
    COxWireSeg& AddSeg(CPoint a, CPoint b) { return SheetBuilder(doc).Seg(a, b); }
    COxLine& AddLine(CPoint a, CPoint b) {
        doc.lines.push_back(std::make_unique<COxLine>(a, b, 2, kBlue));
        return *doc.lines.back();
    }
    // A block at (10, 10), the text "note" at (10, 40), a line from (60, 60)
    // to (70, 60) and a wire from (40, 5) to (40, 20), drawn.
    COxFunc& OneOfEachKind() {
        COxFunc& a = AddBlock("AND", 10, 10);
        AddText(10, 40, "note");
        AddLine({60, 60}, {70, 60});
        AddSeg({40, 5}, {40, 20});
        Draw();
        return a;
    }

    COstra_PLCDoc doc;
    RecordingEditorHost host;
    CObjectClipboard clip;
    CSheetEditor ed;
};

// Each insert mode places what its tool makes: chained decorative lines, a routed wire whose
// preview follows whole grid steps, a text from the dialog, a block numbered from the sheet.
TEST_F(Editor, InsertModesPlaceWhatTheirToolMakes) {
    // Lines chain from click to click; a click on the last point adds nothing.
    EXPECT_FALSE(ed.CommandEnabled(kCmdSelectAll));
    ed.Command(kCmdInsertLines);
    PressGrid(5, 5);
    PressGrid(9, 2);
    PressGrid(9, 2);
    ASSERT_EQ(doc.lines.size(), 1u);
    const COxLine& line = *doc.lines[0];
    EXPECT_TRUE(line.start == CPoint(5, 5) && line.end == CPoint(9, 2) && line.width == 2 && line.colour == kBlue);
    EXPECT_TRUE(ed.CommandEnabled(kCmdSelectAll) && !ed.CommandEnabled(kCmdPaste) &&
                doc.checkState == 0);  // a line alone is something to select
    ed.RightPress({}, Px(1, 1));
    EXPECT_TRUE(ed.EditMode == kModeSelect && !ed.CurLine);

    ed.Command(kCmdInsertWires);
    PressGrid(10, 10);
    host.calls.clear();
    ed.MouseMove({}, CPoint(10 * kScale + 3, 10 * kScale));  // below half a step
    EXPECT_TRUE(host.calls.empty());
    ed.MouseMove({}, Px(11, 10));
    EXPECT_EQ(host.calls.back(), "preview 80,80 88,80 0");
    ed.MouseMove({}, Px(11, 15));
    EXPECT_EQ(host.calls.back(), "preview 80,80 88,120 0");
    PressGrid(11, 15);
    EXPECT_EQ(Segs(doc), (std::vector<std::string>{"(10,15)-(11,15)", "(10,10)-(10,15)"}));
    ed.Command(kCmdInsertWires);  // the tool chosen again starts a new chain
    PressGrid(20, 10);
    PressGrid(22, 15);  // two steps across: through the middle
    EXPECT_EQ(Segs(doc).size(), 5u);
    ed.RightPress({}, Px(1, 1));

    doc.checkState = 1, doc.modified = false;
    host.textEdit = [](TextPropsFields& f) { f.text = "Pump", f.size = 16; };
    ed.Command(kCmdInsertText);
    PressGrid(4, 6);
    ASSERT_EQ(doc.texts.size(), 1u);
    EXPECT_TRUE(doc.texts[0]->text == "Pump" && doc.texts[0]->position == CPoint(4, 6) &&
                doc.checkState == 1 && doc.modified);

    doc.title = "Sheet_03";
    AddBlock("AND", 5, 5).refnum = 301;
    host.libraryChoice = "OR";
    ed.Command(kCmdInsertBlock);
    PressGrid(40, 20);
    EXPECT_EQ(doc.blocks.front()->functionType + " " + doc.blocks.front()->ident, "OR F0302");
    EXPECT_TRUE(ed.EditMode == kModeSelect && host.blockChecks == 1);  // the PLC limit is checked
}

// Selection by clicks and by the band, one step at a time: after each, every block then every text
// as "-" (not selected), "s" (selected) or "m" (selected and marked), and the count. A plain click
// selects only what it hits; Shift or Ctrl adds an unselected object, marked, and a second takes it
// off; one selected by a plain click or (a text) by the band is kept by the first Ctrl-click, which
// marks it, and taken by the second; a block the band selected goes at once.
TEST_F(Editor, ClicksAndTheBandFollowTheMark) {
    COxFunc& a = AddBlock("AND", 10, 10);
    COxFunc& b = AddBlock("OR", 30, 10);
    COxText& t = AddText(12, 30, "level");
    AddBlock("AND", 90, 60);
    Draw();
    const auto sel = [&] {
        std::string out;
        const auto mark = [&out](bool s, bool m) { out += !s ? '-' : m ? 'm' : 's'; };
        for (const auto& f : doc.blocks) mark(f->selected, f->mark);
        out += '|';
        for (const auto& x : doc.texts) mark(x->selected, x->mark);
        return out + " " + std::to_string(ed.SelCount);
    };
    const MouseFlags plain{}, shift{true, false, false}, ctrl{false, true, false};
    const struct {
        CPoint at;
        MouseFlags flags;
        const char* after;
    } clicks[] = {
        {Centre(b.bounds), plain, "-s-|- 1"}, {Centre(t.bounds), shift, "-s-|m 2"},
        {Centre(a.bounds), plain, "s--|- 1"}, {Centre(a.bounds), ctrl, "m--|- 1"},
        {Centre(a.bounds), ctrl, "---|- 0"},  {Centre(b.bounds), shift, "-m-|- 1"},
        {Centre(b.bounds), shift, "---|- 0"},
    };
    for (const auto& c : clicks) {
        Click(c.at, c.flags);
        EXPECT_EQ(sel(), c.after);
    }
    // Only the block's own rectangle, widened by its pins, is drawn again.
    const CRect r = a.bounds;
    const std::string repaint = "rect " + RectText(CRect(r.left - kScale - 3, r.top - 3,
                                                         r.right + kScale + 3, r.bottom + 3)) + " erase";
    for (const MouseFlags f : {plain, ctrl}) {
        Click(Centre(a.bounds), f);
        EXPECT_EQ(host.calls.back(), repaint);
    }

    ed.LeftPress(shift, Px(2, 2));
    EXPECT_EQ(ed.EditMode, kModeBand);
    ed.MouseMove({false, false, true}, Px(60, 2));  // sideways only
    EXPECT_EQ(ed.BandRect, CRect(16, 16, 480, 16));
    ed.MouseMove({false, false, true}, Px(60, 35));
    EXPECT_EQ(ed.BandRect, CRect(16, 16, 480, 280));
    ed.LeftRelease({}, Px(60, 35));
    EXPECT_EQ(ed.EditMode, kModeSelect);
    EXPECT_EQ(sel(), "mm-|s 3");
    Click(Centre(a.bounds), ctrl);
    Click(Centre(t.bounds), ctrl);
    EXPECT_EQ(sel(), "-m-|m 2");
    // Press and release on empty sheet without moving selects nothing.
    Click(Px(100, 70), plain);
    EXPECT_EQ(sel(), "---|- 0");
}

TEST_F(Editor, ArrowKeysAndDeleteActOnlyWithASelection) {
    AddBlock("AND", 10, 10);
    COxText& t = AddText(10, 30, "x");
    COxLine& l = AddLine({1, 1}, {5, 1});
    AddSeg({30, 5}, {30, 9});
    Draw();
    EXPECT_FALSE(ed.KeyPress(EditKey::Right, {}));
    Click(Px(3, 1), {false, true, false});  // Ctrl takes a line too
    EXPECT_TRUE(l.selected && ed.SelCount == 1);
    // What a found object's row selects: that object alone.
    EXPECT_TRUE(ed.SelectOnlyBlock(doc.blocks[0]->ident) && doc.blocks[0]->selected && ed.SelCount == 1);
    EXPECT_TRUE(!ed.SelectOnlyBlock("none") && !doc.blocks[0]->selected &&
                !ed.SelectOnlySegment({30, 5}, {30, 8}) && ed.SelectOnlySegment({30, 5}, {30, 9}));
    EXPECT_TRUE(!ed.SelectOnlyText(1) && ed.SelectOnlyText(0) && t.selected &&
                !doc.segments[0]->selected);
    EXPECT_TRUE(ed.KeyPress(EditKey::Down, {}) && ed.KeyPress(EditKey::Up, {}));  // a text alone moves
    ed.Command(kCmdSelectAll);
    EXPECT_TRUE(ed.SelCount == 4 && l.selected && t.selected && doc.segments[0]->selected &&
                doc.blocks[0]->mark);  // as the band selects: blocks marked
    ed.LeftPress({}, Px(0, 0));
    ed.MouseMove({false, false, true}, Px(50, 50));
    ed.LeftRelease({}, Px(50, 50));
    ASSERT_EQ(ed.SelCount, 4);
    doc.checkState = 1;
    EXPECT_TRUE(ed.KeyPress(EditKey::Right, {}) && doc.blocks[0]->position == CPoint(11, 10) &&
                doc.checkState == 0);
    EXPECT_EQ(SegText(*doc.segments[0]), "(31,5)-(31,9)");
    EXPECT_TRUE(ed.KeyPress(EditKey::Up, {false, true, false}));
    EXPECT_TRUE(t.position == CPoint(11, 22) && l.start == CPoint(2, -7));

    host.msg.answers = {MsgResult::Cancel};
    ed.KeyPress(EditKey::Delete, {});
    EXPECT_EQ(doc.blocks.size(), 1u);
    EXPECT_EQ(Said(host.msg),
              "Are you sure you want to delete these items?|Delete Selected Items|2|2");

    host.msg.answers = {MsgResult::Ok};
    const std::size_t steps = ed.History().UndoCount();
    ed.KeyPress(EditKey::Delete, {});
    EXPECT_TRUE(doc.blocks.empty() && doc.texts.empty() && doc.lines.empty() &&
                doc.segments.empty() && ed.SelCount == 0 && !ed.KeyPress(EditKey::Left, {}));
    EXPECT_EQ(ed.History().UndoCount(), steps + 1);  // the deletion is one step
    doc.modified = false;  // as if saved: the undo is a change again
    ed.Command(kCmdUndo);
    ASSERT_EQ(doc.texts.size(), 1u);
    EXPECT_TRUE(doc.modified && doc.texts[0]->position == CPoint(11, 22) && ed.SelCount == 4);
    ed.KeyPress(EditKey::Right, {});
    ed.KeyPress(EditKey::Right, {});
    EXPECT_EQ(ed.History().UndoCount(), steps + 2);  // and each move after it one more
    ASSERT_TRUE(ed.SelectOnlyText(0));  // a text alone goes with the mouse too
    const CPoint was = doc.texts[0]->position, grab = Centre(doc.texts[0]->bounds);
    ed.LeftPress({}, grab);
    ed.MouseMove({false, false, true}, grab + CPoint(2 * kScale, 0));
    EXPECT_EQ(doc.texts[0]->position, was + CPoint(2, 0));
}

// Escape ends whatever is under way; with nothing under way it is not taken.
TEST_F(Editor, EscapeEndsModesBandsAndDrags) {
    ed.Command(kCmdInsertWires);
    PressGrid(10, 10);
    PressGrid(20, 10);
    EXPECT_TRUE(ed.KeyPress(EditKey::Escape, {}));
    EXPECT_TRUE(ed.EditMode == kModeSelect && host.cursor == kCursorNormal);
    EXPECT_EQ(doc.segments.size(), 1u);  // what was placed stays
    host.libraryChoice = "OR";
    ed.Command(kCmdInsertBlock);
    EXPECT_TRUE(ed.KeyPress(EditKey::Escape, {}));
    PressGrid(40, 20);
    EXPECT_TRUE(doc.blocks.empty());

    COxFunc& a = AddBlock("AND", 10, 20);
    Draw();
    ed.LeftPress({}, Px(60, 60));  // a band, ended before its release
    ed.MouseMove({false, false, true}, Px(2, 2));
    host.calls.clear();
    EXPECT_TRUE(ed.KeyPress(EditKey::Escape, {}));
    EXPECT_EQ(host.calls, std::vector<std::string>{"band 0,0,0,0 was 16,16,480,480"});
    ed.MouseMove({false, false, true}, Px(1, 1));
    ed.LeftRelease({false, true, false}, Centre(a.bounds));  // not even a Ctrl-release
    EXPECT_TRUE(ed.SelCount == 0 && !a.selected);

    const std::size_t steps = ed.History().UndoCount();
    doc.modified = false, doc.checkState = 1;
    const CPoint start = Centre(a.bounds);
    ed.LeftPress({}, start);
    const int changes = host.changes;
    ed.MouseMove({false, false, true}, start + CPoint(kScale, 0));
    ed.MouseMove({false, false, true}, start + CPoint(3 * kScale, 0));
    ASSERT_EQ(doc.blocks[0]->position, CPoint(13, 20));
    EXPECT_EQ(host.changes, changes + 2);  // the window hears of each move and of their end
    EXPECT_TRUE(ed.KeyPress(EditKey::Escape, {}) && host.changes == changes + 3);
    EXPECT_EQ(doc.blocks[0]->position, CPoint(10, 20));  // back where it began
    EXPECT_TRUE(doc.blocks[0]->selected && ed.SelCount == 1 && !doc.modified && doc.checkState == 1);
    ed.MouseMove({false, false, true}, start + CPoint(5 * kScale, 0));  // the button still down
    ed.LeftRelease({}, start + CPoint(5 * kScale, 0));
    EXPECT_TRUE(doc.blocks[0]->position == CPoint(10, 20) && ed.History().UndoCount() == steps);
}

// A double click opens the properties of what it hits; elsewhere nothing.
TEST_F(Editor, DoubleClickOpensThePropertiesOfWhatIsHit) {
    COxFunc& a = OneOfEachKind();
    ed.LeftDoubleClick(Centre(a.bounds));
    EXPECT_EQ(host.fbShown.functionType + std::to_string(host.fbShown.typeNumber), "AND20");
    ed.LeftDoubleClick(Centre(a.pins[0].bounds));
    EXPECT_EQ(host.pinShown.inOut, "Output");
    ed.LeftDoubleClick(Px(40, 12));
    ed.LeftDoubleClick(Centre(doc.texts[0]->bounds));
    EXPECT_EQ(host.textShown.text, "note");
    host.lineEdit = [](LinePropsFields& f) { f.width = 6; };
    ed.LeftDoubleClick(Px(65, 60));
    EXPECT_EQ(doc.lines[0]->width, 6);
    host.wsEdit = [](WSPropsFields& f) { f.name = "RUN"; };
    ed.LeftDoubleClick(Px(40, 12));
    EXPECT_EQ(doc.segments[0]->name, "RUN");
    MenuCommand(kCmdWireSelect, Px(40, 12));
    EXPECT_TRUE(doc.segments[0]->selected);
    // On a wire, an end is hit from up to three pixels before it to two past.
    const std::pair<CPoint, int32_t> wireHits[] = {
        {Px(40, 5) + CPoint(2, 2), kViewHitSegStart}, {Px(40, 5) + CPoint(-3, 3), kViewHitSegInside},
        {Px(40, 20) + CPoint(-2, -2), kViewHitSegEnd}, {Px(40, 20) + CPoint(0, -3), kViewHitSegInside},
        {Px(40, 5) + CPoint(0, 4), kViewHitSegInside}};
    for (const auto& [at, kind] : wireHits) {
        ed.ViewHitTest(at);
        EXPECT_EQ(ed.Hit.kind, kind);
    }
    const std::size_t steps = ed.History().UndoCount();
    ed.LeftDoubleClick(Px(100, 70));  // empty sheet
    ed.Command(kCmdInsertWires);
    ed.LeftDoubleClick(Centre(a.bounds));  // a placement mode: no dialog
    EXPECT_TRUE(ed.History().UndoCount() == steps && host.msg.messages.empty());
}

// Wires follow moved blocks: an end on a moved pin goes along and every
// wire stays orthogonal, with one undo step per move.
TEST_F(Editor, WiresFollowMovedBlocks) {
    COxFunc& n = AddBlock("NOT", 10, 10);
    COxFunc& g = AddBlock("GT", 40, 10);
    const CPoint o = n.PinPoint(0);
    const CPoint i = g.PinPoint(1);
    const auto wire = [&](std::vector<CPoint> points) {
        doc.segments.clear();
        for (std::size_t k = 0; k + 1 < points.size(); ++k)
            AddSeg(points[k], points[k + 1]);
    };
    const auto move = [&](std::vector<COxFunc*> blocks, EditKey key, bool ctrl = false) {
        doc.ClearSelection();
        for (COxFunc* f : blocks) f->selected = true;
        ed.SelCount = static_cast<int32_t>(blocks.size());
        ed.KeyPress(key, {false, ctrl, false});
        std::vector<std::string> out = Segs(doc);
        std::sort(out.begin(), out.end());
        return out;
    };
    const auto V = [](std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const CPoint bend(24, o.y), knee(34, i.y + 6);

    // Along the wire: the end moves, the wire stays straight.
    wire({o, CPoint(i.x, o.y)});
    EXPECT_EQ(move({&n}, EditKey::Left), V({SegText({o.x - 1, o.y}, {i.x, o.y})}));
    n.position.x += 1;
    // Across it, with nothing to slide: routed as a wire click routes.
    wire({o, CPoint(o.x + 2, o.y)});  // two units: still a step across the middle
    doc.segments[0]->name = "RUN", doc.segments[0]->showName = true;
    const int mx = o.x + 1;
    EXPECT_EQ(move({&n}, EditKey::Down, true),
              V({SegText({mx, o.y + 8}, {mx, o.y}), SegText({mx, o.y}, {o.x + 2, o.y}),
                 SegText({o.x, o.y + 8}, {mx, o.y + 8})}));
    // The name shown with the wire stays on the piece at the pin.
    EXPECT_EQ(std::count_if(doc.segments.begin(), doc.segments.end(), [&](const auto& w) {
                  return w->showName && w->name == "RUN" && w->start == CPoint(o.x, o.y + 8);
              }), 1);
    n.position.y -= 8;
    // A bend joining one wire at a right angle slides along instead (drawn towards the pin).
    wire({knee, CPoint(24, knee.y), bend, o});
    EXPECT_EQ(move({&n}, EditKey::Up),
              V({SegText({24, knee.y}, {24, o.y - 1}), SegText(knee, {24, knee.y}),
                 SegText({24, o.y - 1}, {o.x, o.y - 1})}));
    n.position.y += 1;
    // Leaving the pin downwards: moved sideways, a bend slides; straight on, it is routed.
    wire({CPoint(30, o.y + 5), CPoint(o.x, o.y + 5), o});
    EXPECT_EQ(move({&n}, EditKey::Left), V({SegText({o.x - 1, o.y + 5}, {o.x - 1, o.y}),
                                            SegText({30, o.y + 5}, {o.x - 1, o.y + 5})}));
    n.position.x += 1;
    wire({o, CPoint(o.x, o.y + 5), CPoint(o.x, o.y + 9)});
    EXPECT_EQ(move({&n}, EditKey::Left),
              V({SegText({o.x - 1, o.y}, {o.x - 1, o.y + 5}), SegText({o.x - 1, o.y + 5}, {o.x, o.y + 5}),
                 SegText({o.x, o.y + 5}, {o.x, o.y + 9})}));
    n.position.x += 1;
    // Both ends on moved blocks: the wire moves whole.
    ASSERT_EQ(o.y, i.y);
    wire({o, i});
    EXPECT_EQ(move({&n, &g}, EditKey::Right), V({SegText({o.x + 1, o.y}, {i.x + 1, i.y})}));
    n.position.x -= 1, g.position.x -= 1;
    // A bend on a wire that goes straight on is no bend to slide.
    wire({o, CPoint(20, o.y), CPoint(30, o.y)});
    EXPECT_EQ(move({&n}, EditKey::Down),
              V({SegText({o.x, o.y + 1}, {18, o.y + 1}), SegText({18, o.y + 1}, {18, o.y}),
                 SegText({18, o.y}, {20, o.y}), SegText({20, o.y}, {30, o.y})}));
    n.position.y -= 1;
    // A piece that shrinks to nothing goes; one undo step takes it all back.
    wire({o, CPoint(o.x + 1, o.y)});
    const std::string before = doc.SaveToBytes();
    EXPECT_EQ(move({&n}, EditKey::Right), V({}));
    ed.Command(kCmdUndo);
    EXPECT_EQ(doc.SaveToBytes(), before);
    // Switched off, the wires stay where they are.
    ed.WiresFollowBlocks = false;
    EXPECT_EQ(move({doc.blocks[0].get()}, EditKey::Up), V({SegText(o, {o.x + 1, o.y})}));
}

// With the pointer on the sheet the copies' top-left goes under it; off the
// sheet each paste lands one step further than the last.
TEST_F(Editor, PasteAtThePointerOrAGrowingOffset) {
    AddBlock("AND", 10, 10).selected = true;
    AddText(8, 30, "x").selected = true;
    AddSeg({4, 20}, {4, 30}).selected = true;
    ed.SelCount = 3;
    ed.Command(kCmdCopy);
    const auto pasted = [&] {
        ed.Command(kCmdPaste);
        return std::vector<CPoint>{doc.blocks.front()->position, doc.texts.front()->position};
    };
    EXPECT_EQ(pasted(), (std::vector<CPoint>{{12, 12}, {10, 32}}));
    EXPECT_TRUE(doc.blocks[0]->selected && doc.texts[0]->selected && doc.segments[0]->selected);
    EXPECT_EQ(pasted(), (std::vector<CPoint>{{14, 14}, {12, 34}}));
    ed.MouseMove({}, Px(40, 50) + CPoint(3, -3));  // the wire is leftmost, the block on top
    EXPECT_EQ(pasted(), (std::vector<CPoint>{{46, 50}, {44, 70}}));
    ed.PointerLeft();
    EXPECT_EQ(pasted(), (std::vector<CPoint>{{16, 16}, {14, 36}}));
    ed.Command(kCmdCopy);  // a fresh copy starts again at its own place
    EXPECT_TRUE(pasted() == (std::vector<CPoint>{{18, 18}, {16, 38}}) && ed.SelCount == 3);
    // Duplicate pastes beside the selection, the clipboard left alone.
    const CPoint clipped = clip.ClipFuncs.front()->position;
    ed.Command(kCmdDuplicate);
    EXPECT_TRUE(doc.blocks[0]->position == doc.blocks[1]->position + CPoint(2, 2) &&
                doc.blocks[0]->selected && !doc.blocks[1]->selected &&
                clip.ClipFuncs.front()->position == clipped);
}

TEST_F(Editor, CutAndPasteIntoAnotherSheet) {
    COxFunc& a = AddBlock("AND", 10, 10);
    AddBlock("OR", 30, 10);
    a.selected = true;
    ed.SelCount = 1;
    doc.checkState = 1;
    ed.Command(kCmdCut);
    EXPECT_TRUE(doc.blocks.size() == 1u && doc.checkState == 0 && ed.SelCount == 0 &&
                !ed.CommandEnabled(kCmdCut));
    ASSERT_EQ(clip.ClipFuncs.size(), 1u);
    EXPECT_EQ(clip.ClipFuncs[0]->position, CPoint(12, 12));

    COstra_PLCDoc other;
    other.title = "Sheet_02";
    RecordingEditorHost otherHost;
    CSheetEditor second(other, otherHost, clip);
    second.Command(kCmdPaste);
    ASSERT_EQ(other.blocks.size(), 1u);
    const COxFunc& pasted = *other.blocks[0];
    EXPECT_EQ(pasted.functionType + " " + std::to_string(pasted.refnum) + " " + pasted.ident, "AND 201 F0201");
    EXPECT_TRUE(pasted.position == CPoint(12, 12) && other.modified);
    // A text cut alone is an undo step too, and leaves the check state.
    AddText(5, 5, "x").selected = true;
    ed.SelCount = 1;
    doc.checkState = 1;
    const std::size_t steps = ed.History().UndoCount();
    ed.Command(kCmdCut);
    EXPECT_TRUE(doc.texts.empty() && ed.History().UndoCount() == steps + 1 && doc.checkState == 1);
}

TEST_F(Editor, DeleteCommandsAskWithTheObjectsOwnTitle) {
    COxFunc& a = AddBlock("AND", 10, 10);
    a.ident = "F0101", a.selected = true;
    AddBlock("OR", 30, 10).selected = true;
    AddText(10, 40, "note").selected = true;
    ed.SelCount = 3;
    Draw();
    host.msg.answers = {MsgResult::Cancel, MsgResult::Ok};
    host.menuAnswers = {kCmdBlockDelete, kCmdBlockDelete};
    for (const std::size_t left : {2u, 1u}) {
        ed.RightPress({}, Centre(a.bounds));
        EXPECT_EQ(doc.blocks.size(), left);
    }
    EXPECT_TRUE(ed.SelCount == 2 && host.blockChecks == 1);
    EXPECT_EQ(Said(host.msg.messages[0]), "Delete Function Block?|F0101|2|1");

    AddText(10, 60, "other");  // the first in the list now
    AddLine({60, 60}, {70, 60});
    AddLine({60, 70}, {70, 70});
    AddSeg({80, 5}, {80, 20});
    AddSeg({40, 5}, {40, 20}).name = "FLOW";
    Draw();
    MenuCommand(kCmdWireDelete, Px(40, 12));
    EXPECT_EQ(Said(host.msg.messages.back()), "Delete Wire Segment?|FLOW|2|1");
    EXPECT_TRUE(doc.segments.size() == 1u && doc.segments[0]->start == CPoint(80, 5));
    doc.checkState = 1;
    MenuCommand(kCmdTextDelete, Centre(doc.texts[1]->bounds));
    EXPECT_EQ(Said(host.msg.messages.back()), "Delete Text?|other|2|1");
    EXPECT_TRUE(doc.checkState == 1 && doc.texts.size() == 1u && doc.texts[0]->text == "note");
    MenuCommand(kCmdLineSelect, Px(65, 60));
    EXPECT_TRUE(doc.lines[0]->selected);
    MenuCommand(kCmdLineDelete, Px(65, 70));
    EXPECT_EQ(Said(host.msg.messages.back()), "Delete Line?|Decorative Line|2|1");
    EXPECT_TRUE(doc.lines.size() == 1u && doc.lines[0]->selected);
}

TEST_F(Editor, PinCommandsRefuseWhatTheBlockCannotTake) {
    COxFunc& a = AddBlock("AND", 10, 10);  // can change, minimum 2
    COxFunc& add = AddBlock("ADD", 30, 10);
    COxFunc& not_ = AddBlock("NOT", 50, 10);  // fixed pins
    Draw();
    auto pinMenu = [&](COxFunc& f, int slot, int32_t cmd) {
        MenuCommand(cmd, Centre(f.pins[slot].bounds));
        Draw();
    };
    pinMenu(a, 1, kCmdPinDelete);
    EXPECT_EQ(Said(host.msg.messages.back()), "Sorry, down to minimum pins|Delete Pin|1|0");
    EXPECT_FALSE(host.lastItems[1].enabled);
    pinMenu(a, 1, kCmdPinAdd);
    EXPECT_TRUE(a.actualInputs == 3 && doc.checkState == 0);
    doc.checkState = 1, doc.modified = false;
    pinMenu(a, 2, kCmdPinDelete);
    EXPECT_TRUE(a.actualInputs == 2 && doc.modified && doc.checkState == 0);

    a.actualInputs = 15;
    Draw();
    pinMenu(a, 1, kCmdPinAdd);
    EXPECT_TRUE(!host.lastItems[0].enabled && a.actualInputs == 15);
    EXPECT_EQ(Said(host.msg.messages.back()), "Sorry, maximum number of pins in use|Add Pin|1|0");

    pinMenu(not_, 1, kCmdPinAdd);
    EXPECT_EQ(Said(host.msg.messages.back()), "Sorry, this FB has fixed pins|Add Pin|1|0");
    pinMenu(not_, 1, kCmdPinDelete);
    EXPECT_EQ(Said(host.msg.messages.back()), "Sorry, this FB has fixed pins|Delete Pin|1|0");

    doc.checkState = 1;
    const int32_t before = not_.pins[1].type;
    pinMenu(not_, 1, kCmdPinInvert);
    EXPECT_TRUE(not_.pins[1].type != before && doc.checkState == 1);  // inverting keeps the check
    pinMenu(not_, 1, kCmdPinInvert);
    EXPECT_EQ(not_.pins[1].type, before);

    pinMenu(add, 1, kCmdPinInvert);
    EXPECT_EQ(Said(host.msg.messages.back()), "Sorry, Can't invert analog pin|Invert Pin|1|0");
    EXPECT_FALSE(host.lastItems[2].enabled);
}

TEST_F(Editor, TrimFollowsTheMenuPoint) {
    auto trim = [&](CPoint menu, CPoint to) {
        doc.segments.clear();
        AddSeg({0, 5}, {10, 5});
        Draw();
        MenuCommand(kCmdWireTrim, Px(menu.x, menu.y));
        EXPECT_TRUE(ed.EditMode == kModeTrimWire && host.cursor == kCursorTrim);
        ed.LeftPress({}, Px(to.x, to.y));
        EXPECT_EQ(ed.EditMode, kModeSelect);
        return SegText(*doc.segments[0]);
    };
    EXPECT_EQ(trim({8, 5}, {3, 5}), "(3,5)-(10,5)");
    EXPECT_EQ(trim({2, 5}, {3, 5}), "(0,5)-(3,5)");
    EXPECT_EQ(trim({8, 5}, {14, 5}), "(0,5)-(14,5)");
    // Lengthened, it is laid out again as on screen, not as printed.
    EXPECT_EQ(RectText(doc.segments[0]->bounds), RectText(CRect(-3, 37, 115, 43)));
    EXPECT_EQ(trim({8, 5}, {-2, 5}), "(-2,5)-(10,5)");
    doc.modified = false;
    EXPECT_TRUE(trim({8, 5}, {10, 5}) == "(0,5)-(10,5)" && doc.modified);

    // A right press in trim mode cancels.
    MenuCommand(kCmdWireTrim, Px(8, 5));
    ed.RightPress({}, Px(8, 5));
    EXPECT_TRUE(ed.EditMode == kModeSelect && SegText(*doc.segments[0]) == "(0,5)-(10,5)");

    // A segment chosen before wires followed a moved block may be another one
    // now: the trim that was under way does nothing.
    COxFunc& b = AddBlock("NOT", 20, 20);
    AddSeg(b.PinPoint(0), b.PinPoint(0) + CPoint(6, 0));
    Draw();
    Click(Centre(b.bounds));
    MenuCommand(kCmdWireTrim, Px(8, 5));
    ASSERT_EQ(ed.EditMode, kModeTrimWire);
    ed.KeyPress(EditKey::Down, {});
    ed.LeftPress({}, Px(3, 5));
    EXPECT_EQ(Segs(doc), (std::vector<std::string>{"(29,20)-(32,20)", "(29,21)-(29,20)",
                                                   "(0,5)-(10,5)", "(26,21)-(29,21)"}));

    // A decorative line the same way; its new extent is repainted, and the check state stays.
    COxLine& l = AddLine({0, 9}, {10, 9});
    Draw();
    doc.checkState = 1;
    MenuCommand(kCmdLineTrim, Px(8, 9));
    host.calls.clear();
    ed.LeftPress({}, Px(3, 9));
    EXPECT_TRUE(l.start == CPoint(3, 9) && doc.checkState == 1);
    const std::string repaint = "rect " + RectText(l.bounds) + " erase";
    EXPECT_NE(std::find(host.calls.begin(), host.calls.end(), repaint), host.calls.end());
}

// What each properties dialog shows and writes back; a dialog that changes
// nothing leaves no undo step.
TEST_F(Editor, PropertyDialogsWriteBack) {
    COxFunc& a = AddBlock("AND", 10, 10);
    COxFunc& term = AddBlock("TERMIN", 10, 30);
    for (auto& p : term.pins)
        if (p.type == kPinValue) p.type = kPinNone;
    term.pins[7].name = "Mask", term.pins[7].type = kPinValue, term.pins[7].value = 9;
    COxText& t = AddText(10, 60, "note");
    COxLine& l = AddLine({60, 60}, {70, 60});
    COxWireSeg& s = AddSeg({40, 5}, {50, 5});
    s.startState = 6, s.refnum = 7, s.endState = 9, s.error = 4, s.showName = true;
    Draw();
    host.fbEdit = [](FBPropsFields& f) { f.ident = "Start pump", f.actual = 1; };  // below the minimum
    MenuCommand(kCmdBlockProps, Centre(a.bounds));
    EXPECT_TRUE(a.ident == "Start pump" && a.actualInputs == 2 && host.fbShown.canChange);
    host.fbEdit = [](FBPropsFields& f) { f.values[0] = 255; };
    MenuCommand(kCmdBlockProps, Centre(term.bounds));
    EXPECT_TRUE(host.fbShown.valueNames[0] == "Mask" && term.pins[7].value == 255);

    host.textEdit = [](TextPropsFields& f) { f.text = "new note"; };
    MenuCommand(kCmdTextProps, Centre(t.bounds));
    EXPECT_EQ(t.text, "new note");
    host.lineEdit = [](LinePropsFields& f) { f.start = {62, 60}, f.end = {80, 60}; };
    MenuCommand(kCmdLineProps, Px(65, 60));
    EXPECT_TRUE(l.start == CPoint(62, 60) && l.end == CPoint(80, 60));
    host.colourAnswer = kRed;
    MenuCommand(kCmdLineColour, Px(65, 60));
    const Colour chosen = l.colour;
    ed.Command(kCmdUndo);
    EXPECT_TRUE(chosen == kRed && doc.lines[0]->colour == kBlue);

    doc.modified = false;
    host.wsEdit = [](WSPropsFields& f) { f.showName = !f.showName; };
    MenuCommand(kCmdWireProps, Px(45, 5));
    EXPECT_EQ(host.wsShown.startState + "|" + host.wsShown.finishState + "|" + host.wsShown.error,
              "Faulty connection||Multiple sources");
    EXPECT_EQ(std::string(WireEndStateText(9)) + WireEndStateText(0) + WireEndStateText(6),
              "UnknownNot ConnectedFaulty connection");
    EXPECT_EQ(std::string(WireErrorText(kWireOk)) + "|" + WireErrorText(9), "All OK|Unknown");
    EXPECT_FALSE(s.showName || doc.modified || host.wsShown.refnum != 7);
    ed.Command(kCmdUndo);  // the name kept no step: this undoes the line's end
    EXPECT_EQ(doc.lines[0]->end, CPoint(70, 60));
}

TEST(EditDialogs, WholeNumbersAndDigits) {
    const std::pair<const char*, std::optional<int32_t>> whole[] = {
        {" -12 ", -12}, {"+7", 7}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"2147483648", {}}, {"1.5", {}}, {"", {}}, {"-", {}}, {"12a", {}}};
    for (const auto& [text, value] : whole) EXPECT_EQ(ParseWholeNumber(text), value) << text;
    EXPECT_EQ(RangeMessage(4, 24), "Please enter an integer between 4 and 24.");
}

TEST(SheetHistory, UnchangedObjectsAreSharedAndTheBudgetBoundsTheSteps) {
    COstra_PLCDoc doc;
    doc.title = "Sheet_01";
    SheetBuilder b(doc);
    for (int i = 0; i < 60; ++i)
        b.Block("AND", "B" + std::to_string(i), 2 + (i % 10) * 10, 2 + i / 10 * 10);
    CSheetHistory h;
    // Each step is taken before its change, as the editor does.
    auto step = [&](int dx) {
        h.BeginStep(doc);
        doc.blocks[7]->position.x += dx;
        h.EndStep();
    };
    step(1);
    const std::size_t first = h.KeptBytes();
    EXPECT_GT(first, 60 * sizeof(COxFunc));
    step(1);
    EXPECT_TRUE(h.KeptBytes() - first < 2 * sizeof(COxFunc) + 60 * 2 * sizeof(void*) + 256 &&
                doc.blocks[7]->position.x == 74);

    const auto x = [&doc] { return doc.blocks[7]->position.x; };
    EXPECT_TRUE(h.Undo(doc) && x() == 73 && h.Undo(doc) && x() == 72 && !h.Undo(doc) &&
                h.Redo(doc) && x() == 73 && !h.CancelStep(doc) && x() == 73);

    // Steps that change everything: the oldest go once the budget is reached.
    for (auto& f : doc.blocks) f->ident.assign(200, 'x');
    for (int step = 0; step < 400; ++step) {
        for (auto& f : doc.blocks) f->position.y ^= 1;
        h.BeginStep(doc);
        h.EndStep();
    }
    EXPECT_TRUE(h.UndoCount() < 400u && h.UndoCount() > 10u);  // the budget holds dozens of such steps
    EXPECT_LE(h.KeptBytes(), CSheetHistory::kBudgetBytes + 2 * first + 60 * 256);
    // A step larger than the whole budget is still kept, alone.
    for (auto& f : doc.blocks) f->ident.assign(150000, 'y');
    h.BeginStep(doc);
    h.EndStep();
    EXPECT_EQ(h.UndoCount(), 1u);
    for (auto& f : doc.blocks) std::string().swap(f->ident);
    h.Clear();
    EXPECT_FALSE(h.CanUndo());

    // Small steps: the depth limit. Many wires: the count stays within bounds.
    for (int i = 0; i < 3000; ++i)
        doc.segments.push_back(std::make_unique<COxWireSeg>(CPoint(i, 1), CPoint(i, 5)));
    for (int i = 0; i < 150; ++i) {
        h.BeginStep(doc);
        doc.segments[static_cast<std::size_t>(i)]->end.y += 1;
        h.EndStep();
        ASSERT_LE(h.KeptBytes(), CSheetHistory::kBudgetBytes) << i;
    }
    EXPECT_EQ(h.UndoCount(), CSheetHistory::kDepth);
    while (h.Undo(doc)) {
    }
    EXPECT_TRUE(doc.segments[49]->end.y == 6 && doc.segments[50]->end.y == 5);
    h.Clear();
    EXPECT_LT(h.KeptBytes(), CSheetHistory::kBudgetBytes);  // the count never wraps below zero
}

// A snapshot shares an object only while every field is the same: a change
// of any one of them must make a new copy, or undo would restore the old one.
TEST(SheetHistory, EveryFieldCountsForSharing) {
    COxFunc f("AND", {1, 1});
    const std::vector<std::function<void(COxFunc&)>> funcs = {
        [](COxFunc& o) { o.selected = true; }, [](COxFunc& o) { o.mark = true; },
        [](COxFunc& o) { o.position.y = 2; }, [](COxFunc& o) { o.pins[3].value = 1; },
        [](COxFunc& o) { o.actualInputs = 3; }, [](COxFunc& o) { o.ident = "X"; }};
    for (std::size_t i = 0; i < funcs.size(); ++i) {
        COxFunc g = f;
        funcs[i](g);
        EXPECT_FALSE(f.SameContent(g)) << "block change " << i;
    }
    COxWireSeg w(CPoint(1, 1), CPoint(1, 5));
    const std::vector<std::function<void(COxWireSeg&)>> wires = {
        [](COxWireSeg& o) { o.selected = true; }, [](COxWireSeg& o) { o.mark = true; },
        [](COxWireSeg& o) { o.direction = 1; },   [](COxWireSeg& o) { o.showName = true; },
        [](COxWireSeg& o) { o.name = "S"; },      [](COxWireSeg& o) { o.error = 2; }};
    for (std::size_t i = 0; i < wires.size(); ++i) {
        COxWireSeg v = w;
        wires[i](v);
        EXPECT_FALSE(w.SameContent(v)) << "wire change " << i;
    }
    // Texts and lines: the selection and the mark.
    const auto differs = [](auto o) {
        auto selected = o, marked = o;
        selected.selected = true, marked.mark = true;
        return !o.SameContent(selected) && !o.SameContent(marked);
    };
    COxLine l(CPoint(1, 1), CPoint(2, 1), 1, kBlue);
    EXPECT_TRUE(differs(COxText(CPoint(1, 1), "t", 12)) && differs(l) &&
                l.SameContent(COxLine(l)) && w.SameContent(COxWireSeg(w)) &&
                f.SameContent(COxFunc(f)));
}

// Random scripts on the example's first sheet: nothing breaks, and undoing
// every step gives back the sheet as it was loaded, byte for byte.
TEST(EditorProperty, RandomEditingUndoesToTheLoadedSheet) {
    COstra_PLCDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Examples() / "TankPlant" / "Sheet_01.oxd").ok);
    const std::string sheet = doc.SaveToBytes();
    std::size_t total = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        std::vector<uint8_t> script(400);
        for (auto& b : script) b = static_cast<uint8_t>(rng());
        std::size_t steps = 0;
        EXPECT_EQ(RunEditScript(sheet, script.data(), script.size(), &steps), "") << "seed " << seed;
        total += steps;
    }
    EXPECT_GT(total, 200u);  // the scripts do edit
}

}  // namespace
}  // namespace ostra::test
