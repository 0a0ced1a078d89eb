// Editing through the real view and dialogs on the offscreen platform: mouse and key events reach
// the sheet editor, menus and dialogs answer, and the frame's Insert and Edit commands drive the
// active sheet. Then the controller commands against the built-in simulated controller: connect,
// upload, verify, monitor, statistics and K-factors, with the "&Project" menu states.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include "comm/CKFactorTable.h"
#include "comm/COxComm.h"
#include "editor/CMainFrame.h"
#include "editor/COstra_PLCView.h"
#include "editor/ControllerDialogs.h"
#include "editor/GuiPorts.h"
#include "editor/PropertyDialogs.h"
#include "editor/TrendWindow.h"
#include "model/SheetEditor.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "sim/CSimController.h"
#include "support/ExampleFrame.h"
#include "support/QtWaits.h"
#include "support/Recorders.h"
#include "support/SheetBuilder.h"
#include "support/SimRig.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

using namespace test;  // the test doubles and helpers

class ViewEditing : public ::testing::Test {
  protected:
    ViewEditing() : view(&doc) {
        doc.title = "Sheet_01";
        ViewServices s;
        s.msg = &box, s.library = &library;
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
    // The preview is gone with the repaint.
    EXPECT_TRUE(doc.segments[2]->end == CPoint(15, 10) && !view.HasPreview());
    Press(view, Px(30, 30), Qt::RightButton);
    EXPECT_TRUE(view.Editor().EditMode == kModeSelect && view.viewport()->cursor().shape() == Qt::ArrowCursor);
    EXPECT_TRUE(doc.segments.size() == 3u && doc.modified);
}

TEST_F(ViewEditing, RubberBandArrowKeysAndDelete) {
    test::SheetBuilder b(doc);
    b.Draw("AND A 10 10; OR B 30 10");
    Paint();
    Press(view, QPoint(4, 4));
    Move(view, Px(50, 30), Qt::LeftButton);
    EXPECT_FALSE(view.BandRect().isNull());
    Release(view, Px(50, 30));
    EXPECT_TRUE(view.BandRect().isNull() && view.Editor().SelCount == 2);

    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(b["A"].position, CPoint(11, 10));
    QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(b["B"].position, CPoint(31, 18));

    QTest::keyClick(&view, Qt::Key_Delete);  // asked first; the box says OK
    EXPECT_TRUE(doc.blocks.empty());
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
    EXPECT_TRUE(view.Editor().EditMode == kModeSelect && view.viewport()->cursor().shape() == Qt::ArrowCursor &&
                !view.HasPreview());
    WhenModal<CDlgFBProps>([](CDlgFBProps* dialog) {
        dialog->Edit(1033)->setText("Pump on");
        dialog->Edit(1048)->setText("4");
        dialog->accept();
    });
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, Centre(a.bounds));
    EXPECT_TRUE(a.ident == "Pump on" && a.actualInputs == 4 && a.position == CPoint(10, 10));

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
    // The last is half a notch: not yet.
    for (const auto& [delta, scale] : {std::pair{120, 10}, {-240, 7}, {60, 7}}) {
        Wheel(view, at, delta, Qt::ControlModifier);
        EXPECT_TRUE(view.Scale() == scale && view.PixelToGrid(at) == CPoint(40, 30)) << delta;
    }
    const int top = v->value();
    Wheel(view, at, -120, Qt::ShiftModifier);
    EXPECT_TRUE(h->value() == 160 + 3 * 7 && v->value() == top);

    test::Mouse(view, QEvent::MouseButtonPress, {200, 200}, Qt::MiddleButton, Qt::MiddleButton);
    Move(view, {180, 190}, Qt::MiddleButton);
    Release(view, {180, 190}, Qt::MiddleButton);
    EXPECT_TRUE(h->value() == 181 + 20 && v->value() == top + 10);
    QTest::keyPress(&view, Qt::Key_Space);
    Press(view, {200, 200});
    Move(view, {190, 200}, Qt::LeftButton);
    Release(view, {190, 200});
    QTest::keyRelease(&view, Qt::Key_Space);
    EXPECT_TRUE(h->value() == 211 && view.Editor().EditMode == kModeSelect);  // no band was begun

    view.resize(1100, 800);  // 126 x 84 units fit at scale 8, not at 10
    view.ZoomToFit();
    EXPECT_TRUE(view.Scale() == 8 && h->value() == 0);

    // Magnify keeps the middle of the window; switched off, the corner.
    view.resize(500, 400);
    h->setValue(300);
    v->setValue(200);
    const QPoint middle = view.viewport()->rect().center();
    const CPoint seen = view.PixelToGrid(middle);
    view.Magnify();
    EXPECT_EQ(view.PixelToGrid(middle), seen);
    view.ZoomKeepsCentre = false;
    const int left = h->value();
    view.Reduce();
    EXPECT_TRUE(h->value() == left && view.Scale() == 8);
}

TEST_F(ViewEditing, DraggingABlockAndAClickGivesTheViewTheKeyboard) {
    test::SheetBuilder b(doc);
    COxFunc& a = b.Block("AND", "A", 10, 10);
    b.Seg(a.PinPoint(0), a.PinPoint(0) + CPoint(10, 0));
    Paint();
    const QPoint start = Centre(a.bounds);
    Press(view, start);
    Move(view, start + QPoint(11, 0), Qt::LeftButton);  // 1.4 units
    Move(view, start + QPoint(13, 17), Qt::LeftButton);
    Release(view, start + QPoint(13, 17));
    EXPECT_EQ(a.position, CPoint(12, 12));  // 1.4 units, then the 0.6 left over rounds up
    bool onThePin = false;  // the wire stays on the block, in straight pieces
    for (const auto& seg : doc.segments) {
        onThePin |= seg->start == a.PinPoint(0) || seg->end == a.PinPoint(0);
        EXPECT_TRUE(seg->start.x == seg->end.x || seg->start.y == seg->end.y);
    }
    // The whole drag is one step.
    EXPECT_TRUE(onThePin && doc.checkState == 0 && doc.modified &&
                view.Editor().History().UndoCount() == 1u);
    Paint();
    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, Centre(a.bounds));
    ASSERT_TRUE(view.Editor().SelCount == 1 && QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(a.position, CPoint(13, 12));
}

TEST_F(ViewEditing, RightClickOnABlockOpensItsMenu) {
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
    EXPECT_TRUE(a.selected && view.Editor().SelCount == 1);
}

// The dialogs as widgets: titles, read-only and length limits, the digits
// filter, and a refused entry keeping the dialog open with nothing taken.
TEST(PropertyDialogs, FieldsLimitsAndRefusals) {
    test::RecordingMessageBox box;
    TextPropsFields f;
    CDlgTxtProps text(f, box);
    EXPECT_TRUE(text.windowTitle() == "Text Properties" && text.Edit(1061)->maxLength() == 127);
    text.Edit(1061)->setText("Tank 1");
    text.Edit(1062)->setText("30");
    text.accept();
    EXPECT_EQ(box.messages.back().text, "Please enter an integer between 4 and 24.");
    EXPECT_TRUE(text.result() != QDialog::Accepted &&
                f.text.empty());  // nothing taken while refused
    text.Edit(1062)->clear();
    QTest::keyClicks(text.Edit(1062), "-16x");  // digits only
    EXPECT_EQ(text.Edit(1062)->text(), "16");
    text.accept();
    EXPECT_TRUE(text.result() == QDialog::Accepted && f.text == "Tank 1" && f.size == 16);

    FBPropsFields fb = FBPropsFields::From(*test::Kmru01().FindFunc("AND"));
    CDlgFBProps block(fb, box);
    EXPECT_EQ(block.windowTitle(), "Function Block Properties");
    // Without terminal rows.
    EXPECT_TRUE(block.Edit(1037)->isReadOnly() && !block.Edit(1033)->isReadOnly() &&
                !block.Edit(1096));
    block.Edit(1048)->setText("abc");
    block.accept();
    EXPECT_TRUE(box.messages.back().text == "Please enter an integer." &&
                block.result() != QDialog::Accepted);

    COxFunc term = *test::Kmru01().FindFunc("TERMIN");
    FBPropsFields t = FBPropsFields::From(term);
    CDlgTermProps terminal(t, box);
    EXPECT_EQ(terminal.windowTitle(), "Terminal Properties");
    EXPECT_TRUE(terminal.Edit(1096)->text() == "boX" && terminal.Edit(1096)->isReadOnly());
    terminal.Edit(1097)->setText("3");
    terminal.accept();
    EXPECT_TRUE(terminal.result() == QDialog::Accepted && t.values[0] == 3);

    COxWireSeg seg(CPoint(1, 2), CPoint(9, 2));
    seg.endState = 4;
    WSPropsFields w = WSPropsFields::From(seg);
    CDlgWSProps wire(w, box);
    EXPECT_EQ(wire.Edit(1084)->text() + "|" + wire.Edit(1089)->text(), "Junction|All OK");
    EXPECT_EQ(wire.Edit(1086)->maxLength(), 31);
    wire.Edit(1086)->setText("PUMP_RUN");
    wire.Check(1087)->setChecked(true);
    wire.Edit(1083)->setText("4");
    wire.accept();
    EXPECT_TRUE(w.name == "PUMP_RUN" && w.showName && w.end == CPoint(9, 4));

    LinePropsFields l{{1, 1}, {5, 1}, 2};
    CDlgLineProps line(l, box);
    line.Edit(1067)->setText("4");
    line.accept();
    EXPECT_TRUE(line.windowTitle() == "Decorative Line Properties" && l.width == 4);
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
    for (QAction* a : MenuNamed("&Insert")->menu()->actions()) insert << a->text();
    EXPECT_EQ(insert, (QStringList{"&Function block", "&Wires", "&Text", "&Lines (decorative)"}));

    COstra_PLCView* view = frame.ActiveView();
    COstra_PLCDoc* doc = view->Document();
    const std::size_t before = doc->segments.size();
    EXPECT_TRUE(project.Menu.Enabled(CProjectMenu::kCompile));
    frame.EditCommand(kCmdInsertWires);
    Press(*view, QPoint(8 * 100, 8 * 70));
    Press(*view, QPoint(8 * 110, 8 * 70));
    Move(*view, QPoint(8 * 110, 8 * 71));
    EXPECT_TRUE(frame.EditPane()->text().startsWith("x 110, y 71") &&
                frame.EditPane()->text().endsWith("Add wires"));
    Press(*view, QPoint(0, 0), Qt::RightButton);
    EXPECT_EQ(doc->segments.size(), before + 1);
    // The tab marks the unsaved changes.
    EXPECT_EQ(frame.Tabs()->tabText(0) + "|" + frame.windowTitle(),
              "Sheet_01*|Sheet_01 - Ostra_PLC");
    EXPECT_TRUE(doc->checkState == 0 && !project.Menu.Enabled(CProjectMenu::kCompile) &&
                !project.Menu.Checked(CProjectMenu::kWireCheck));

    frame.UpdateEditActions();
    frame.EditCommand(kCmdUndo);
    EXPECT_EQ(doc->segments.size(), before);
    // Ctrl+A selects every object of the active sheet.
    ASSERT_TRUE(Activate());
    frame.UpdateEditActions();
    QTest::keyClick(&frame, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->Editor().SelCount, static_cast<int32_t>(doc->blocks.size() + doc->segments.size() +
                                                            doc->texts.size() + doc->lines.size()));
    EXPECT_EQ(doc->checkState, 1);  // the sheet's own check state comes back
    frame.EditCommand(kCmdRedo);
    EXPECT_EQ(doc->segments.size(), before + 1);

    // Ctrl+V puts the copies' top-left under the pointer; Edit > Paste at
    // pointer switched off, they land where the copy put them.
    view->Editor().SelectOnlyBlock(doc->blocks.back()->ident);
    const CPoint was = doc->blocks.back()->position;
    frame.UpdateEditActions();
    QTest::keyClick(&frame, Qt::Key_C, Qt::ControlModifier);
    Move(*view, QPoint(8 * 30, 8 * 20));
    frame.UpdateEditActions();
    QTest::keyClick(&frame, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(doc->blocks.front()->position, CPoint(30, 20));
    // The Edit menu's switches, on at first, are kept when switched off.
    frame.SetSettings(&settings);
    for (QAction* a : MenuNamed("&Edit")->menu()->actions())
        if (a->text() == "Paste at &pointer" || a->text() == "&Wires follow blocks") {
            EXPECT_TRUE(a->isChecked()) << a->text().toStdString();
            a->trigger();
        }
    // Wires stay when a block is dragged.
    EXPECT_TRUE(settings.GetInt("Editing", "PasteAtPointer", 1) == 0 &&
                settings.GetInt("Editing", "WiresFollowBlocks", 1) == 0 &&
                !view->Editor().WiresFollowBlocks);
    QTest::keyClick(&frame, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(doc->blocks.front()->position, was + CPoint(2, 2));
}

class ControllerCommands : public ::testing::Test, public test::ExampleFrame {
  protected:
    ControllerCommands() { OpenOnSimulator(); }
    // Connect, taking the Comm Port dialog as it comes.
    void Connect() {
        WhenModal<CDlgCommport>([](CDlgCommport* d) { d->accept(); });
        frame.OnConnect();
    }
    bool Enabled(int pos) const { return project.Menu.Enabled(pos); }
    std::string LastMessage() const {
        return box.messages.empty() ? std::string() : box.messages.back().text;
    }
};

TEST_F(ControllerCommands, ConnectUploadVerifyAndMonitorTheTank) {
    EXPECT_FALSE(Enabled(CProjectMenu::kUpload));
    Connect();
    EXPECT_EQ(LastMessage() + "|" + frame.ConnectedProc(), "Connected to KMRU-01 OK|KMRU-01");

    box.answers = {MsgResult::Ok};  // the controller may be stopped
    // The progress dialog is painted step by step while the upload holds the thread.
    struct PaintCounter : QObject {
        bool eventFilter(QObject*, QEvent* e) override {
            painted += e->type() == QEvent::Paint;
            return false;
        }
        int painted = 0;
    } counter;
    frame.Progress()->installEventFilter(&counter);
    frame.OnUpload();
    frame.Progress()->removeEventFilter(&counter);
    EXPECT_GE(counter.painted, 19);
    EXPECT_EQ(LastMessage(), "Verified OK");
    EXPECT_TRUE(frame.Progress()->history.contains("Checking Func Blocks 19/19") && !frame.Progress()->isVisible() &&
                frame.Ports().Simulator().Blocks().size() == 19u);

    // Monitor the first sheet: values appear under the wire names.
    COstra_PLCView* view = frame.ActiveView();
    frame.OnMonitor();
    EXPECT_TRUE(frame.Monitor().monitoring && view->MonitorTimerActive());
    QTest::qWait(1500);
    bool levelShown = false;
    for (const auto& [segment, label] : view->MonitorLabels())
        if (segment->name == "LEVEL") {
            levelShown = true;
            const double level = std::stod(label.text);
            EXPECT_TRUE(level > 0.0 && level < 100.0) << level;
        }
    EXPECT_TRUE(levelShown);
    view->grab();  // the values are drawn with the sheet

    // The second sheet takes over the mode; its digital wires show live.
    frame.Tabs()->setCurrentIndex(1);
    COstra_PLCView* second = frame.ActiveView();
    EXPECT_TRUE(!view->MonitorTimerActive() && view->MonitorLabels().empty() &&
                second->MonitorTimerActive());
    QTest::qWait(1500);
    ASSERT_FALSE(second->MonitorLabels().empty());
    // With the K-factors at 0 the level is above the alarm limit: HIGH is on;
    // STOP is not pressed (closed, 1), so STOPPB is off.
    int high = 0, stoppb = 0;
    for (const auto& seg : second->Document()->segments) {
        if (seg->name == "HIGH") high += second->WireShownLive(seg.get()) ? 1 : -100;
        if (seg->name == "STOPPB") stoppb += second->WireShownLive(seg.get()) ? 1 : 0;
    }
    EXPECT_TRUE(high == 1 && stoppb == 0);
    second->grab();

    frame.OnMonitor();
    EXPECT_TRUE(!frame.Monitor().monitoring && !second->MonitorTimerActive() &&
                second->MonitorLabels().empty());
}

// Folder to another project ends monitor mode and the connection, and a
// project without a compiled image sends nothing, however Upload is reached.
TEST_F(ControllerCommands, AnotherFolderDisconnectsAndNoImageIsSent) {
    Connect();
    frame.OnMonitor();
    ASSERT_TRUE(frame.Monitor().monitoring);
    test::TempDir other;
    frame.Disconnect();  // as Folder does before opening the chosen project
    project.OpenProjectFolder(other / "project.oxp");
    frame.RebuildTabs();
    EXPECT_TRUE(!frame.Monitor().monitoring && !frame.Link().Connected);
    for (void (CMainFrame::*command)() : {&CMainFrame::OnUpload, &CMainFrame::OnVerify}) {
        box.answers = {MsgResult::Ok};
        (frame.*command)();
        EXPECT_EQ(LastMessage(), "The project has no compiled diagram: compile it first.");
    }
    EXPECT_TRUE(frame.Ports().Simulator().Running() && frame.Ports().Simulator().Blocks().empty());
}

// The Trend window plots what monitor mode reads: the active sheet's signals,
// a window of time, pause, a read-out, and the visible data as CSV.
TEST_F(ControllerCommands, TrendPlotsTheMonitoredSignals) {
    Connect();
    box.answers = {MsgResult::Ok};
    frame.OnUpload();
    frame.OnTrend();  // offered in monitor mode only
    EXPECT_EQ(frame.Trend(), nullptr);
    frame.Tabs()->setCurrentIndex(1);  // the pump's sheet
    frame.OnMonitor();
    frame.OnTrend();
    CTrendWindow* t = frame.Trend();
    ASSERT_TRUE(t && t->isVisible());
    // Everything monitor mode polls, all ticked: the named wires and the
    // digital nets it polls for the green wires.
    const std::vector<int32_t> shown = t->Shown();
    EXPECT_EQ(t->Listed(), frame.Monitor().polledSignals);
    EXPECT_TRUE(static_cast<int>(shown.size()) == t->SignalList()->count() &&
                shown.size() > frame.Monitor().monSignals.size());
    for (int32_t n : frame.Monitor().monSignals)
        EXPECT_NE(std::find(shown.begin(), shown.end(), n), shown.end()) << n;
    const int32_t level = test::SignalNumber(project.Tables, "LEVEL");
    ASSERT_GE(level, 0);
    // Samples arrive as the view's timer polls; waited for, not timed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return t->Points(level).size() >= 4; }, 20000));
    const auto points = t->Points(level);
    for (std::size_t i = 1; i < points.size(); ++i) EXPECT_GE(points[i].first, points[i - 1].first);
    EXPECT_TRUE(t->ReadOut(points.back().first).contains(QStringLiteral("\nLEVEL = ")));

    t->SetPaused(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.Monitor().nextBlock == 0; }, 20000));
    EXPECT_EQ(t->Points(level), points);  // held while paused
    t->SetPaused(false);
    t->SetWindowSeconds(10);
    test::TempDir dir;
    QString why;
    ASSERT_TRUE(t->ExportCsv(QString::fromStdString((dir / "trend.csv").string()), &why));
    const std::string csv = test::ReadBytes(dir / "trend.csv");
    EXPECT_TRUE(csv.rfind("time_ms,", 0) == 0u &&
                csv.substr(0, csv.find('\r')).find("LEVEL") != std::string::npos &&
                std::count(csv.begin(), csv.end(), '\n') >= 3);
    ASSERT_TRUE(t->ExportPng(QString::fromStdString((dir / "trend.png").string()), &why));
    t->SetShown(level, false);
    EXPECT_TRUE(t->Points(level).empty());
    frame.OnMonitor();  // monitoring off: the command goes
    frame.UpdatePanes();
}

TEST_F(ControllerCommands, AnEditEndsMonitoring) {
    Connect();
    box.answers = {MsgResult::Ok};
    frame.OnUpload();
    frame.OnMonitor();
    COstra_PLCView* view = frame.ActiveView();
    ASSERT_TRUE(view->MonitorTimerActive());
    QTest::qWait(300);
    frame.EditCommand(kCmdInsertLines);
    view->Editor().LeftPress({}, CPoint(80, 600));
    view->Editor().LeftPress({}, CPoint(160, 600));
    EXPECT_TRUE(!frame.Monitor().monitoring && !view->MonitorTimerActive() && view->MonitorLabels().empty() &&
                !Enabled(CProjectMenu::kMonitor));
    // A new connect offers Upload again, but the image no longer matches.
    Connect();
    ASSERT_TRUE(Enabled(CProjectMenu::kUpload));
    box.answers = {MsgResult::Ok};
    frame.OnUpload();
    EXPECT_EQ(LastMessage(),
              "A sheet was changed after the diagram was compiled: compile it again first.");
}

TEST_F(ControllerCommands, CommPortDialogChoosesTheDeviceOfAPort) {
    frame.Ports().SetAllSimulated(false);
    CDlgCommport& dialog = *frame.PortDialog();
    EXPECT_EQ(dialog.windowTitle(), "Setup Communications with PLC");
    dialog.Load(3, false, 1, 1);
    EXPECT_TRUE(dialog.ChosenDevice() == CGuiPorts::SystemDevice(3) &&
                dialog.Box()->maximum() == 9 && dialog.Port()->maximum() == 64);

    int port = 3;
    bool echo = false;
    int32_t boxNo = 1, slot = 1;
    WhenModal<CDlgCommport>([](CDlgCommport* d) {
        d->Device()->setCurrentIndex(d->Device()->findData(QStringLiteral("simulator")));
        d->Echo()->setChecked(true);
        d->Box()->setValue(2);
        d->accept();
    });
    dialog.Show(port, echo, boxNo, slot);
    EXPECT_TRUE(echo && boxNo == 2);
    EXPECT_EQ(settings.GetString("Ports", "COM3", "") + " " + frame.Ports().DeviceFor(3), "simulator simulator");

    // Cancel keeps what was there; in Connect it ends the command quietly.
    WhenModal<CDlgCommport>([](CDlgCommport* d) {
        d->Box()->setValue(7);
        d->reject();
    });
    EXPECT_TRUE(!dialog.Show(port, echo, boxNo, slot) && boxNo == 2);

    // A stored value outside its range is shown as it is and refused at OK,
    // the dialog staying open until it is put right.
    slot = 40;
    WhenModal<CDlgCommport>([this](CDlgCommport* d) {
        EXPECT_EQ(d->Slot()->value(), 40);
        d->accept();
        EXPECT_TRUE(d->isVisible() && LastMessage() == "Please enter an integer between 0 and 16.");
        d->Slot()->setValue(16);
        d->accept();
    });
    EXPECT_TRUE(dialog.Show(port, echo, boxNo, slot) && slot == 16);
    frame.Ports().SetAllSimulated(true);
    box.messages.clear();
    WhenModal<CDlgCommport>([](CDlgCommport* d) { d->reject(); });
    frame.OnConnect();
    EXPECT_TRUE(box.messages.empty() && !frame.Link().Connected &&
                frame.Ports().Simulator().Transactions() == 0);
}

TEST_F(ControllerCommands, StatisticsDialog) {
    Connect();
    QString type, firmware, serial, total;
    WhenModal<CDlgProcStat>([&](CDlgProcStat* d) {
        type = d->Field("Processor Type");
        firmware = d->Field("Firmware");
        serial = d->Field("Serial No.");
        total = d->Field("Total Transactions");
        d->Refresh();
        d->accept();
    });
    frame.OnStatistics();
    EXPECT_EQ(type + "|" + firmware + "|" + serial, "KMRU-01| 3.02|1234567");
    EXPECT_GT(total.toInt(), 0);
}

TEST_F(ControllerCommands, KFactorsEditedAndUpdated) {
    Connect();
    box.answers = {MsgResult::Ok};
    frame.OnUpload();
    WhenModal<CDlgKFEdit>([this](CDlgKFEdit* d) {
        EXPECT_EQ(d->windowTitle(), "Edit K-Factors");
        // Read-only cells look like the window; the actual value's does not.
        const QColor window = d->palette().color(QPalette::Window);
        EXPECT_TRUE(!d->Cell(0, 1)->text().isEmpty() && d->Cell(0, 1)->isReadOnly() &&
                    d->Cell(0, 1)->palette().color(QPalette::Base) == window &&
                    d->Cell(0, 5)->palette().color(QPalette::Base) != window);
        const auto enter = [d](const char* text) {
            d->Cell(0, 5)->setText(text);
            Q_EMIT d->Cell(0, 5)->editingFinished();
            return d->Cell(0, 5)->toolTip().toStdString();
        };
        EXPECT_EQ(enter("lots"), "Not a number: enter a value from 0 to 100");  // refused, marked
        EXPECT_FALSE(d->Changed()->isChecked());
        EXPECT_EQ(enter("150"), "Outside the range 0 .. 100 (allowed, not enforced)");  // taken, marked
        EXPECT_TRUE(enter("77.5").empty() && d->Changed()->isChecked());
        // The update stops the controller: asked first, Cancel sends nothing.
        const std::size_t asked = box.messages.size();
        box.answers = {MsgResult::Cancel};
        d->Button("Update\nto PLC")->click();
        ASSERT_EQ(box.messages.size(), asked + 1);
        EXPECT_EQ(box.messages.back().text.rfind("Updating the K-factors requires that the\n"
                                                 "CONTROLLER WILL BE STOPPED !!", 0), 0u);
        EXPECT_TRUE(d->Changed()->isChecked() && d->Button("Quit without\nUpdating PLC"));
        d->AskFirst()->setChecked(false);  // for the rest of the session
        d->Button("Update\nto PLC")->click();
        EXPECT_TRUE(box.messages.size() == asked + 1 && !d->Changed()->isChecked());
        d->AskFirst()->setChecked(true);
        d->Button("Close")->click();
    });
    frame.OnKFactorEdit(QString::fromStdString((work / "KFTank.txt").string()));
    // Started again after the update.
    EXPECT_TRUE(frame.Ports().Simulator().KFactors().at(0) == 77.5 &&
                frame.Ports().Simulator().Running());

    frame.OnKFactorEdit(QString::fromStdString((work / "KFnone.txt").string()));
    EXPECT_EQ(LastMessage().rfind("The K-factor file", 0), 0u);
}

TEST_F(ControllerCommands, ADeadLinkDuringMonitoringDisablesTheCommand) {
    Connect();
    box.answers = {MsgResult::Ok};
    frame.OnUpload();
    frame.OnMonitor();
    ASSERT_TRUE(frame.ActiveView()->MonitorTimerActive());
    QTest::qWait(300);
    sim::FaultOptions dead;
    dead.rate = 1.0, dead.kinds = {sim::Fault::kNoAnswer};
    frame.Ports().Simulator().SetFaults(dead);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !frame.ActiveView()->MonitorTimerActive(); }, 20000));
    EXPECT_EQ(LastMessage(), "Connection Failed");
    EXPECT_FALSE(frame.Link().Connected || Enabled(CProjectMenu::kMonitor));
}

}  // namespace
}  // namespace ostra
