// Editing through the real view and dialogs on the offscreen platform: mouse
// and key events reach the sheet editor, menus and dialogs answer, and the
// frame's Insert and Edit commands drive the active sheet.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <regex>
#include <sstream>

#include "editor/CDlgFBLib.h"
#include "editor/CMainFrame.h"
#include "editor/COstra_PLCView.h"
#include "editor/PropertyDialogs.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "support/ExampleFrame.h"
#include "support/QtWaits.h"
#include "support/SheetBuilder.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

using test::WhenModal;
using test::WhenShown;

using test::Move;
using test::Press;
using test::Release;
using test::Wheel;

class ViewEditing : public ::testing::Test {
  protected:
    ViewEditing() : view(&doc) {
        doc.title = "Sheet_01";
        ViewServices s;
        s.msg = &box;
        s.library = &library;
        s.checkBlockCount = [this] { ++blockChecks; };
        view.SetServices(s);
        view.resize(900, 600);
        view.show();
    }
    // A repaint lays out the objects' rectangles, as on screen.
    void Paint() { view.grab(); }
    static QPoint Px(int gx, int gy) { return {gx * 8, gy * 8}; }
    static QPoint Centre(const CRect& r) {
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    test::RecordingMessageBox box;
    CFuncLibrary library;
    COstra_PLCDoc doc;
    COstra_PLCView view;
    int blockChecks = 0;
};

TEST_F(ViewEditing, MouseDrawsWiresWithAPreviewAndTheRightButtonEndsTheMode) {
    view.Editor().Command(kCmdInsertWires);
    EXPECT_NE(view.viewport()->cursor().shape(), Qt::ArrowCursor);  // the wire cursor
    Press(view, Px(10, 10));
    Release(view, Px(10, 10));
    Move(view, Px(20, 15));
    ASSERT_TRUE(view.HasPreview());
    EXPECT_EQ(view.PreviewLine(), QLine(Px(10, 10), Px(20, 15)));
    Press(view, Px(20, 15));
    Release(view, Px(20, 15));
    ASSERT_EQ(doc.segments.size(), 3u);
    EXPECT_EQ(doc.segments[2]->end, CPoint(15, 10));
    EXPECT_FALSE(view.HasPreview());  // gone with the repaint
    Press(view, Px(30, 30), Qt::RightButton);
    EXPECT_EQ(view.Editor().EditMode, kModeSelect);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(doc.segments.size(), 3u);
    EXPECT_TRUE(doc.modified);
}

TEST_F(ViewEditing, RubberBandArrowKeysAndDelete) {
    test::SheetBuilder b(doc);
    b.Block("AND", "A", 10, 10);
    b.Block("OR", "B", 30, 10);
    Paint();
    Press(view, QPoint(4, 4));
    Move(view, Px(50, 30), Qt::LeftButton);
    EXPECT_FALSE(view.BandRect().isNull());
    Release(view, Px(50, 30));
    EXPECT_TRUE(view.BandRect().isNull());
    EXPECT_EQ(view.Editor().SelCount, 2);

    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(b["A"].position, CPoint(11, 10));
    QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(b["B"].position, CPoint(31, 18));

    box.answers = {MsgResult::Cancel};
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(doc.blocks.size(), 2u);
    box.answers = {MsgResult::Ok};
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_TRUE(doc.blocks.empty());
    EXPECT_EQ(box.messages.back().caption, "Delete Selected Items");
}

// Escape ends a placement mode; a double click opens a block's properties.
TEST_F(ViewEditing, EscapeAndDoubleClick) {
    test::SheetBuilder b(doc);
    COxFunc& a = b.Block("AND", "A", 10, 10);
    Paint();
    view.Editor().Command(kCmdInsertWires);
    Press(view, Px(30, 30));
    Release(view, Px(30, 30));
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_EQ(view.Editor().EditMode, kModeSelect);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(view.HasPreview());
    WhenModal<CDlgFBProps>([](CDlgFBProps* dialog) {
        dialog->Edit(1033)->setText("Pump on");
        dialog->accept();
    });
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, Centre(a.bounds));
    EXPECT_EQ(a.ident, "Pump on");
    EXPECT_EQ(a.position, CPoint(10, 10));

    // Hints: the pin a wire click would join, the block being placed.
    view.Editor().Command(kCmdInsertWires);
    const CPoint out = a.PinPoint(0);
    Move(view, Px(out.x, out.y));
    EXPECT_EQ(view.WireTarget(), std::optional<CPoint>(out));
    Move(view, Px(out.x + 3, out.y + 3));
    EXPECT_FALSE(view.WireTarget());
    QTest::keyClick(&view, Qt::Key_Escape);
    library.SelectedLibFunc = test::Kmru01().FindFunc("OR");
    view.Editor().EnterMode(kModeInsertBlock);
    Move(view, Px(50, 30));
    EXPECT_EQ(view.PlacementGhost(), std::optional<CPoint>(CPoint(50, 30)));
    view.grab();  // drawn faint, without a fault
    QTest::keyClick(&view, Qt::Key_Escape);
    Move(view, Px(52, 30));
    EXPECT_FALSE(view.PlacementGhost());
}

// Ctrl+wheel zooms at the pointer, Shift+wheel goes sideways, the middle
// button and Space with the left button pan, Zoom to Fit shows the frame.
TEST_F(ViewEditing, WheelZoomPanAndFit) {
    view.resize(500, 400);
    QScrollBar* h = view.horizontalScrollBar();
    QScrollBar* v = view.verticalScrollBar();
    h->setValue(200);
    v->setValue(150);
    const QPoint at(120, 90);  // grid point (40, 30) at scale 8
    Wheel(view, at, 120, Qt::ControlModifier);
    EXPECT_EQ(view.Scale(), 10);
    EXPECT_EQ(view.PixelToGrid(at), CPoint(40, 30));
    Wheel(view, at, -240, Qt::ControlModifier);
    EXPECT_EQ(view.Scale(), 7);
    EXPECT_EQ(view.PixelToGrid(at), CPoint(40, 30));
    Wheel(view, at, 60, Qt::ControlModifier);  // half a notch: not yet
    EXPECT_EQ(view.Scale(), 7);
    const int top = v->value();
    Wheel(view, at, -120, Qt::ShiftModifier);
    EXPECT_EQ(h->value(), 160 + 3 * 7);
    EXPECT_EQ(v->value(), top);

    test::Mouse(view, QEvent::MouseButtonPress, {200, 200}, Qt::MiddleButton, Qt::MiddleButton);
    Move(view, {180, 190}, Qt::MiddleButton);
    Release(view, {180, 190}, Qt::MiddleButton);
    EXPECT_EQ(h->value(), 181 + 20);
    EXPECT_EQ(v->value(), top + 10);
    QTest::keyPress(&view, Qt::Key_Space);
    Press(view, {200, 200});
    Move(view, {190, 200}, Qt::LeftButton);
    Release(view, {190, 200});
    QTest::keyRelease(&view, Qt::Key_Space);
    EXPECT_EQ(h->value(), 211);
    EXPECT_EQ(view.Editor().EditMode, kModeSelect);  // no band was begun

    view.resize(1100, 800);  // 126 x 84 units fit at scale 8, not at 10
    view.ZoomToFit();
    EXPECT_EQ(view.Scale(), 8);
    EXPECT_EQ(h->value(), 0);
}

TEST_F(ViewEditing, DraggingABlockAndAClickGivesTheViewTheKeyboard) {
    test::SheetBuilder b(doc);
    COxFunc& a = b.Block("AND", "A", 10, 10);
    Paint();
    const QPoint start = Centre(a.bounds);
    Press(view, start);
    Move(view, start + QPoint(11, 0), Qt::LeftButton);  // 1.4 units
    Move(view, start + QPoint(13, 17), Qt::LeftButton);
    Release(view, start + QPoint(13, 17));
    EXPECT_EQ(a.position, CPoint(12, 12));
    EXPECT_EQ(doc.checkState, 0);
    Paint();
    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, Centre(a.bounds));
    ASSERT_EQ(view.Editor().SelCount, 1);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(a.position, CPoint(13, 12));
}

TEST_F(ViewEditing, RightClickOnABlockOpensItsMenuAndItsProperties) {
    test::SheetBuilder b(doc);
    COxFunc& a = b.Block("AND", "A", 10, 10);
    Paint();
    QStringList shown;
    WhenShown([&shown](QWidget* w) {
        auto* menu = qobject_cast<QMenu*>(w);
        ASSERT_NE(menu, nullptr);
        for (QAction* act : menu->actions()) shown << act->text();
        QTest::keyClick(menu, Qt::Key_S);  // "&Select"
    });
    Press(view, Centre(a.bounds), Qt::RightButton);
    EXPECT_EQ(shown, (QStringList{"&Delete", "Pr&operties", "&Select"}));
    EXPECT_TRUE(a.selected);
    EXPECT_EQ(view.Editor().SelCount, 1);
    WhenShown([](QWidget* w) { QTest::keyClick(qobject_cast<QMenu*>(w), Qt::Key_O); });
    WhenModal<CDlgFBProps>([](CDlgFBProps* dialog) {
        dialog->Edit(1033)->setText("Pump on");
        dialog->Edit(1048)->setText("4");
        dialog->accept();
    });
    Press(view, Centre(a.bounds), Qt::RightButton);
    EXPECT_EQ(a.ident, "Pump on");
    EXPECT_EQ(a.actualInputs, 4);
}

// --- dialogs ---

// The dialogs as widgets: titles, read-only and length limits, the digits
// filter, and a refused entry keeping the dialog open with nothing taken.
TEST(PropertyDialogs, FieldsLimitsAndRefusals) {
    test::RecordingMessageBox box;
    TextPropsFields f;
    CDlgTxtProps text(f, box);
    EXPECT_EQ(text.windowTitle(), "Text Properties");
    EXPECT_EQ(text.Edit(1061)->maxLength(), 127);
    text.Edit(1061)->setText("Tank 1");
    text.Edit(1062)->setText("30");
    text.accept();
    EXPECT_NE(text.result(), QDialog::Accepted);
    EXPECT_EQ(box.messages.back().text, "Please enter an integer between 4 and 24.");
    EXPECT_EQ(f.text, "");  // nothing taken while refused
    text.Edit(1062)->clear();
    QTest::keyClicks(text.Edit(1062), "-16x");  // digits only
    EXPECT_EQ(text.Edit(1062)->text(), "16");
    text.accept();
    EXPECT_EQ(text.result(), QDialog::Accepted);
    EXPECT_EQ(f.text, "Tank 1");
    EXPECT_EQ(f.size, 16);

    FBPropsFields fb = FBPropsFields::From(*test::Kmru01().FindFunc("AND"));
    CDlgFBProps block(fb, box);
    EXPECT_EQ(block.windowTitle(), "Function Block Properties");
    EXPECT_TRUE(block.Edit(1037)->isReadOnly());
    EXPECT_FALSE(block.Edit(1033)->isReadOnly());
    EXPECT_EQ(block.Edit(1096), nullptr);  // no terminal rows
    block.Edit(1048)->setText("abc");
    block.accept();
    EXPECT_EQ(box.messages.back().text, "Please enter an integer.");
    EXPECT_NE(block.result(), QDialog::Accepted);

    COxFunc term = *test::Kmru01().FindFunc("TERMIN");
    FBPropsFields t = FBPropsFields::From(term);
    CDlgTermProps terminal(t, box);
    EXPECT_EQ(terminal.windowTitle(), "Terminal Properties");
    EXPECT_EQ(terminal.Edit(1096)->text(), "boX");
    EXPECT_TRUE(terminal.Edit(1096)->isReadOnly());
    terminal.Edit(1097)->setText("3");
    terminal.accept();
    EXPECT_EQ(terminal.result(), QDialog::Accepted);
    EXPECT_EQ(t.values[0], 3);

    COxWireSeg seg(CPoint(1, 2), CPoint(9, 2));
    seg.endState = 4;
    WSPropsFields w = WSPropsFields::From(seg);
    CDlgWSProps wire(w, box);
    EXPECT_EQ(wire.Edit(1084)->text(), "Junction");
    EXPECT_EQ(wire.Edit(1089)->text(), "All OK");
    EXPECT_EQ(wire.Edit(1086)->maxLength(), 31);
    wire.Edit(1086)->setText("PUMP_RUN");
    wire.Check(1087)->setChecked(true);
    wire.Edit(1083)->setText("4");
    wire.accept();
    EXPECT_EQ(w.name, "PUMP_RUN");
    EXPECT_TRUE(w.showName);
    EXPECT_EQ(w.end, CPoint(9, 4));

    LinePropsFields l{{1, 1}, {5, 1}, 2};
    CDlgLineProps line(l, box);
    EXPECT_EQ(line.windowTitle(), "Decorative Line Properties");
    line.Edit(1067)->setText("4");
    line.accept();
    EXPECT_EQ(l.width, 4);
}

// --- the frame ---

QAction* MenuNamed(QMenuBar* bar, const QString& title) {
    for (QAction* a : bar->actions())
        if (a->text() == title) return a;
    return nullptr;
}

class FrameEditing : public ::testing::Test, public test::ExampleFrame {
  protected:
    FrameEditing() { Open(); }
};

TEST_F(FrameEditing, InsertAndEditMenusDriveTheActiveSheet) {
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions())
        if (a->isVisible()) titles << a->text();
    EXPECT_EQ(titles,
              (QStringList{"&Project", "&Insert", "&File", "&Edit", "&View", "&Window", "&Help"}));
    QStringList insert;
    for (QAction* a : MenuNamed(frame.menuBar(), "&Insert")->menu()->actions()) insert << a->text();
    EXPECT_EQ(insert, (QStringList{"&Function block", "&Wires", "&Text", "&Lines (decorative)"}));

    COstra_PLCView* view = frame.ActiveView();
    COstra_PLCDoc* doc = view->Document();
    const std::size_t before = doc->segments.size();
    EXPECT_TRUE(project.Menu.Enabled(CProjectMenu::kCompile));
    frame.EditCommand(kCmdInsertWires);
    Press(*view, QPoint(8 * 100, 8 * 70));
    Press(*view, QPoint(8 * 110, 8 * 70));
    Move(*view, QPoint(8 * 110, 8 * 71));
    EXPECT_TRUE(frame.EditPane()->text().startsWith("x 110, y 71"));
    EXPECT_TRUE(frame.EditPane()->text().endsWith("Add wires"));
    Press(*view, QPoint(0, 0), Qt::RightButton);
    EXPECT_EQ(doc->segments.size(), before + 1);
    EXPECT_EQ(frame.Tabs()->tabText(0), "Sheet_01*");  // unsaved changes
    EXPECT_EQ(frame.windowTitle(), "Sheet_01 - Ostra_PLC");
    EXPECT_EQ(doc->checkState, 0);
    EXPECT_FALSE(project.Menu.Enabled(CProjectMenu::kCompile));
    EXPECT_FALSE(project.Menu.Checked(CProjectMenu::kWireCheck));

    frame.UpdateEditActions();
    frame.EditCommand(kCmdUndo);
    EXPECT_EQ(doc->segments.size(), before);
    // Ctrl+A selects every object of the active sheet.
    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.UpdateEditActions();
    QTest::keyClick(&frame, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->Editor().SelCount, static_cast<int32_t>(doc->blocks.size() + doc->segments.size() +
                                                            doc->texts.size() + doc->lines.size()));
    EXPECT_EQ(doc->checkState, 1);  // the sheet's own check state comes back
    frame.EditCommand(kCmdRedo);
    EXPECT_EQ(doc->segments.size(), before + 1);
}

// A block dragged with the mouse takes its wires along, unless Edit > Wires
// follow blocks is off; the choice is kept.
TEST_F(FrameEditing, WiresFollowADraggedBlock) {
    frame.SetSettings(&settings);
    COstra_PLCView& view = *frame.ActiveView();
    COstra_PLCDoc& doc = *view.Document();
    view.grab();
    // A block whose output has a wire.
    COxFunc* block = nullptr;
    for (auto& f : doc.blocks)
        for (auto& s : doc.segments)
            if (!block && s->start == f->PinPoint(0)) block = f.get();
    ASSERT_NE(block, nullptr);
    const auto wireAt = [&doc](CPoint p) {
        for (auto& s : doc.segments)
            if (s->start == p || s->end == p) return true;
        return false;
    };
    const auto drag = [&view](QPoint from, QPoint by) {
        Press(view, from);
        Move(view, from + by, Qt::LeftButton);
        Release(view, from + by);
        view.grab();
    };
    const int s = view.Scale();
    const QPoint centre((block->bounds.left + block->bounds.right) / 2,
                        (block->bounds.top + block->bounds.bottom) / 2);
    drag(centre, QPoint(0, 2 * s));
    EXPECT_TRUE(wireAt(block->PinPoint(0)));
    for (auto& seg : doc.segments)
        EXPECT_TRUE(seg->start.x == seg->end.x || seg->start.y == seg->end.y);

    QAction* follow = nullptr;
    for (QAction* a : MenuNamed(frame.menuBar(), "&Edit")->menu()->actions())
        if (a->text() == "&Wires follow blocks") follow = a;
    ASSERT_NE(follow, nullptr);
    ASSERT_TRUE(follow->isChecked());
    follow->trigger();
    EXPECT_EQ(settings.GetInt("Editing", "WiresFollowBlocks", 1), 0);
    drag(centre + QPoint(0, 2 * s), QPoint(0, 2 * s));
    EXPECT_FALSE(wireAt(block->PinPoint(0)));
}

TEST_F(FrameEditing, CutOnOneSheetPasteOnTheOther) {
    COstra_PLCView* first = frame.ActiveView();
    COstra_PLCDoc* doc1 = first->Document();
    ASSERT_FALSE(doc1->blocks.empty());
    doc1->blocks[0]->selected = true;
    first->Editor().SelCount = 1;
    const std::string type = doc1->blocks[0]->functionType;
    const std::size_t count1 = doc1->blocks.size();
    frame.EditCommand(kCmdCut);
    EXPECT_EQ(doc1->blocks.size(), count1 - 1);

    frame.Tabs()->setCurrentIndex(1);
    COstra_PLCDoc* doc2 = frame.ActiveView()->Document();
    const std::size_t count2 = doc2->blocks.size();
    frame.EditCommand(kCmdPaste);
    ASSERT_EQ(doc2->blocks.size(), count2 + 1);
    EXPECT_EQ(doc2->blocks[0]->functionType, type);
    EXPECT_EQ(doc2->blocks[0]->refnum / 100, 2);  // numbered on its new sheet
}

// A listing's sections without what depends on the order of drawing (the
// execution and signal numbers, the order of sinks), sorted: two programs
// with the same blocks, pins and connections give the same result.
std::vector<std::string> Sections(const std::string& listing) {
    static const std::regex number(R"((EXEC NUM|REFNUM) \d+ +)");
    static const std::regex signum(R"(\b(analog|valbox|const|dig \w\w) +\d+ +)");
    static const std::regex dashes(R"( -+$)");
    std::vector<std::string> sections;
    std::istringstream in(listing);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("--------", 0) == 0) {
            sections.emplace_back();
            line = std::regex_replace(std::regex_replace(line, number, ""), dashes, "");
        }
        if (sections.empty()) continue;
        line = std::regex_replace(line, signum, "$1 ");
        // Sinks are listed in the order of the blocks.
        if (line.find(", ") != std::string::npos) {
            std::vector<std::string> items;
            std::istringstream parts(line);
            std::string item;
            while (std::getline(parts, item, ','))
                items.push_back(item.substr(item.find_first_not_of(' ')));
            std::sort(items.begin(), items.end());
            line.clear();
            for (const auto& i : items) line += i + ",";
        }
        sections.back() += line + "\n";
    }
    std::sort(sections.begin(), sections.end());
    return sections;
}

// The engineer's road: the example's first sheet drawn on an empty sheet with
// mouse, keyboard and dialogs only, checked and compiled into the program of
// the shipped project. Blocks drawn later stand earlier in a sheet's list, so
// the execution order and numbering follow the drawing, not the shipped file.
class DrawingTheExample : public ::testing::Test, public test::ExampleFrame {};

TEST_F(DrawingTheExample, FirstSheetFromAnEmptySheetCompilesToTheShippedProgram) {
    {
        COstra_PLCDoc empty;
        empty.OnNewDocument("Sheet_01");
        ASSERT_TRUE(empty.OnSaveDocument(work / "Sheet_01.oxd"));
    }
    Open();
    frame.Tabs()->setCurrentIndex(0);
    COstra_PLCView& view = *frame.ActiveView();
    COstra_PLCDoc& doc = *view.Document();
    ASSERT_EQ(doc.title, "Sheet_01");
    ASSERT_TRUE(doc.blocks.empty());

    auto at = [&view](int x, int y) { return QPoint(x * view.Scale(), y * view.Scale()); };
    auto click = [&](int x, int y) {
        Press(view, at(x, y));
        Release(view, at(x, y));
    };
    // Right press on what lies at (x, y) and the popup item with mnemonic `key`.
    auto menuItem = [&](QPoint where, Qt::Key key) {
        view.grab();  // object rectangles as drawn
        WhenShown([key](QWidget* w) { QTest::keyClick(w, key); });
        Press(view, where, Qt::RightButton);
    };
    auto block = [&](const char* type, int x, int y, const char* ident, std::vector<int> values) {
        WhenModal<CDlgFBLib>([type](CDlgFBLib* d) {
            const auto found = d->Tree()->findItems(type, Qt::MatchExactly | Qt::MatchRecursive);
            ASSERT_EQ(found.size(), 1);
            d->Tree()->setCurrentItem(found[0]);
            d->accept();
        });
        frame.EditCommand(kCmdInsertBlock);
        click(x, y);
        COxFunc* f = doc.blocks.front().get();
        const std::string id = ident;
        WhenModal<CDlgFBProps>([id, values](CDlgFBProps* d) {
            d->Edit(1033)->setText(QString::fromStdString(id));
            const int ids[] = {1097, 1102, 1103, 1104, 1105};
            for (std::size_t i = 0; i < values.size(); ++i)
                d->Edit(ids[i])->setText(QString::number(values[i]));
            d->accept();
        });
        view.grab();
        menuItem(
            QPoint((f->bounds.left + f->bounds.right) / 2, (f->bounds.top + f->bounds.bottom) / 2),
            Qt::Key_O);
    };
    auto wire = [&](std::vector<QPoint> points) {
        frame.EditCommand(kCmdInsertWires);
        for (QPoint p : points) click(p.x(), p.y());
        Press(view, at(1, 80), Qt::RightButton);
    };
    auto name = [&](int x, int y, const char* signal) {
        const QString s = QString::fromUtf8(signal);
        WhenModal<CDlgWSProps>([s](CDlgWSProps* d) {
            d->Edit(1086)->setText(s);
            d->accept();
        });
        menuItem(at(x, y), Qt::Key_O);
    };
    auto text = [&](int x, int y, const char* str, int size) {
        const QString t = QString::fromUtf8(str);
        WhenModal<CDlgTxtProps>([t, size](CDlgTxtProps* d) {
            d->Edit(1061)->setText(t);
            d->Edit(1062)->setText(QString::number(size));
            d->accept();
        });
        frame.EditCommand(kCmdInsertText);
        click(x, y);
    };

    block("TERMIN", 6, 6, "LT101", {1, 0, 0, 0, 0});
    block("SCALE", 30, 10, "LEVEL", {});
    block("TERMOUT", 60, 12, "LI101", {1, 0, 1, 0, 0});
    block("KFACT", 6, 30, "K_HIALM", {0});
    block("KFACT", 6, 38, "K_PUMPON", {1});
    block("KFACT", 6, 46, "K_PUMPOFF", {2});
    // The first push button terminal met gives the bus input its settings.
    block("TERMIN", 36, 46, "STOP", {1, 2, 0, 0, 2});
    block("TERMIN", 36, 30, "START", {1, 2, 0, 0, 1});
    ASSERT_EQ(doc.blocks.size(), 8u);
    EXPECT_EQ(doc.blocks.front()->refnum, 108);

    wire({{15, 10}, {30, 10}});
    wire({{22, 12}, {30, 12}});
    wire({{22, 14}, {30, 14}});
    wire({{38, 12}, {44, 12}, {60, 12}});
    wire({{44, 12}, {44, 20}, {56, 20}});
    wire({{14, 30}, {26, 30}});
    wire({{14, 38}, {26, 38}});
    wire({{14, 46}, {26, 46}});
    wire({{45, 34}, {57, 34}});
    wire({{45, 50}, {57, 50}});
    name(24, 12, "0.025");
    name(24, 14, "0");

    text(4, 3, "Tank plant – level measurement, push buttons, K-factors", 16);
    text(72, 24, "Level 0..100 % to the panel meter", 10);
    text(62, 36, "Push buttons on the digital input module in slot 2", 10);
    text(62, 52, "STOP is wired normally closed: 1 while not pressed", 10);
    frame.EditCommand(kCmdInsertLines);
    for (QPoint p : {QPoint(2, 26), QPoint(122, 26), QPoint(122, 60), QPoint(2, 60), QPoint(2, 26)})
        click(p.x(), p.y());
    Press(view, at(1, 80), Qt::RightButton);
    ASSERT_EQ(doc.lines.size(), 4u);
    for (QPoint mid : {QPoint(60, 26), QPoint(122, 40), QPoint(60, 60), QPoint(2, 40)}) {
        WhenModal<CDlgLineProps>([](CDlgLineProps* d) {
            d->Edit(1067)->setText("1");
            d->accept();
        });
        menuItem(at(mid.x(), mid.y()), Qt::Key_O);
        WhenModal<QColorDialog>([](QColorDialog* d) {
            d->setCurrentColor(QColor(128, 128, 128));
            d->accept();
        });
        menuItem(at(mid.x(), mid.y()), Qt::Key_C);
    }
    for (const auto& l : doc.lines) {
        EXPECT_EQ(l->width, 1);
        EXPECT_EQ(l->colour, Rgb(128, 128, 128));
    }
    EXPECT_TRUE(box.messages.empty());

    frame.OnWireCheck();
    ASSERT_FALSE(box.messages.empty());
    EXPECT_EQ(box.messages.back().text, "No Signal Naming Errors");
    EXPECT_EQ(doc.checkState, 1);
    ASSERT_TRUE(frame.OnSave(false));
    box.messages.clear();
    frame.OnCompile();
    ASSERT_FALSE(box.messages.empty());
    EXPECT_EQ(box.messages.back().text, "Compile: all Function Blocks resolved");
    for (const char* listing : {"fblock.lst", "wires.lst"})
        EXPECT_EQ(Sections(test::ReadBytes(work / listing)),
                  Sections(test::ReadBytes(test::Examples() / "TankPlant" / listing)))
            << listing;
}

}  // namespace
}  // namespace ostra
