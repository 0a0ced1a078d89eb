// Draws the pictures of the guides in docs/ from the real windows on the
// offscreen platform, into the temporary folder; they are copied into docs/
// by hand when the look changes:
//   QT_QPA_PLATFORM=offscreen build/ci/tools/doc-pictures/ostra-doc-pictures
// GoogleTest only drives the windows here; this program is not a test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>

#include "editor/CDlgFBLib.h"
#include "editor/CDlgSelProc.h"
#include "editor/CDlgWindows.h"
#include "editor/CMainFrame.h"
#include "editor/COstra_PLCView.h"
#include "editor/ControllerDialogs.h"
#include "editor/GuiPorts.h"
#include "editor/PropertyDialogs.h"
#include "editor/ProblemPanels.h"
#include "editor/TrendWindow.h"
#include "comm/CKFactorTable.h"
#include "sim/CSimController.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "support/ExampleFrame.h"
#include "support/QtWaits.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

using test::WhenModal;
using test::WhenShown;

using test::Move;
using test::Press;
using test::Release;

// The widget as drawn now, into the temporary folder.
void SavePicture(QWidget& w, const char* name) {
    EXPECT_TRUE(w.grab().save(
        QString::fromStdString((std::filesystem::temp_directory_path() / name).string())));
}

class Pictures : public ::testing::Test, public test::ExampleFrame {
  protected:
    Pictures() {
        OpenOnSimulator();
    }
};

// docs/looks.md: the window in the black and the blue look; the sheet keeps
// its paper colours.
TEST_F(Pictures, Looks) {
    frame.resize(900, 560);
    frame.OnApplicationLook(216);
    QApplication::processEvents();  // the palette reaches the widgets by events
    SavePicture(frame, "look-black.png");
    frame.OnApplicationLook(215);
    QApplication::processEvents();
    SavePicture(frame, "look-blue.png");
    frame.OnApplicationLook(210);
}

// README.md: the main window, the Select Processor, Function Block Library
// and Windows dialogs.
TEST_F(Pictures, MainWindowAndDialogs) {
    SavePicture(frame, "ostra-mainframe.png");
    const auto shot = [](QWidget& w, const char* name) {
        w.resize(w.sizeHint().expandedTo(QSize(480, 360)));
        w.show();
        SavePicture(w, name);
    };
    CDlgSelProc processors(test::Examples());
    processors.List()->setCurrentRow(0);
    shot(processors, "ostra-select-processor.png");
    CDlgFBLib library(project.Library);
    library.Rebuild("TON");
    shot(library, "ostra-function-block-library.png");
    frame.OnNew();
    CDlgWindows windows(frame);
    shot(windows, "ostra-windows.png");
}

// docs/problems.md
TEST_F(Pictures, ProblemsGuide) {
    frame.OnCompile();
    // A wire drawn from nowhere on the second sheet, checked.
    frame.Tabs()->setCurrentIndex(1);
    project.Sheets[1]->segments.push_back(std::make_unique<COxWireSeg>(CPoint(96, 66), CPoint(110, 66)));
    frame.OnWireCheck();
    frame.XrefPanel()->show();
    frame.Tabs()->setCurrentIndex(0);
    frame.grab();
    frame.ShowPlace(frame.ProblemsPanel()->Rows().front());
    SavePicture(frame, "problems-window.png");
    SavePicture(*frame.ProblemsPanel(), "problems-panel.png");
    SavePicture(*frame.XrefPanel(), "problems-xref.png");
}

// docs/editing.md
TEST_F(Pictures, EditingGuide) {
    COstra_PLCView& view = *frame.ActiveView();
    view.Magnify();
    view.Magnify();  // scale 11: the details show
    view.grab();     // objects laid out at the new scale, as the repaint does
    const int s = view.Scale();
    auto at = [s](int x, int y) { return QPoint(x * s, y * s); };

    // A wire on its way: fixed segments black, the preview following the pointer.
    frame.EditCommand(kCmdInsertWires);
    Press(view, at(66, 42));
    Press(view, at(76, 48));  // routed: across, down, across
    Move(view, at(84, 45));
    frame.grab();
    SavePicture(frame, "ostra-editing-wire.png");
    Press(view, at(1, 80), Qt::RightButton);
    frame.EditCommand(kCmdUndo);

    // A rubber band over the push-button terminals.
    Press(view, at(31, 28));
    Move(view, at(60, 58), Qt::LeftButton);
    frame.grab();
    SavePicture(frame, "ostra-editing-band.png");
    Release(view, at(60, 58));
    frame.grab();
    SavePicture(frame, "ostra-editing-selected.png");
    Press(view, at(100, 5));
    Release(view, at(100, 5));

    // The block menu and the Terminal Properties of START.
    view.grab();
    WhenShown([](QWidget* w) {
        w->resize(w->sizeHint());
        SavePicture(*w, "ostra-editing-block-menu.png");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    Press(view, at(39, 35), Qt::RightButton);
    WhenShown([](QWidget* w) { QTest::keyClick(w, Qt::Key_O); });
    WhenModal<CDlgFBProps>([](CDlgFBProps* d) {
        d->adjustSize();
        SavePicture(*d, "ostra-editing-terminal-properties.png");
        d->reject();
    });
    Press(view, at(39, 35), Qt::RightButton);

    // Wire Segment and Text Properties.
    WhenShown([](QWidget* w) { QTest::keyClick(w, Qt::Key_O); });
    WhenModal<CDlgWSProps>([](CDlgWSProps* d) {
        d->adjustSize();
        SavePicture(*d, "ostra-editing-wire-properties.png");
        d->reject();
    });
    Press(view, at(50, 34), Qt::RightButton);
    WhenModal<CDlgTxtProps>([](CDlgTxtProps* d) {
        d->Edit(1061)->setText("Pump P1 runs on demand");
        d->adjustSize();
        SavePicture(*d, "ostra-editing-text-properties.png");
        d->reject();
    });
    frame.EditCommand(kCmdInsertText);
    EXPECT_EQ(view.Editor().EditMode, kModeSelect);  // Cancel leaves the mode
}

// docs/controller.md
TEST_F(Pictures, ControllerGuide) {
    WhenModal<CDlgCommport>([](CDlgCommport* d) {
        d->adjustSize();
        SavePicture(*d, "ostra-comm-port.png");
        d->accept();
    });
    frame.OnConnect();
    box.answers = {MsgResult::Ok};
    frame.OnUpload();
    CDlgProgress& progress = *frame.Progress();
    progress.Begin("Uploading Func Blocks", 19);
    for (int i = 0; i < 7; ++i) progress.Step();
    SavePicture(progress, "ostra-progress.png");
    progress.End();

    frame.Tabs()->setCurrentIndex(1);
    frame.OnMonitor();
    QTest::qWait(3500);  // the pump's 2 s delay has run
    frame.grab();
    SavePicture(frame, "ostra-monitor.png");
    frame.OnMonitor();

    WhenModal<CDlgProcStat>([](CDlgProcStat* d) {
        d->adjustSize();
        SavePicture(*d, "ostra-statistics.png");
        d->accept();
    });
    frame.OnStatistics();
    WhenModal<CDlgKFEdit>([](CDlgKFEdit* d) {
        d->Cell(1, 5)->setText("62");
        Q_EMIT d->Cell(1, 5)->editingFinished();
        d->adjustSize();
        SavePicture(*d, "ostra-kfactors.png");
        d->reject();
    });
    frame.OnKFactorEdit(QString::fromStdString((work / "KFTank.txt").string()));
}

// docs/controller.md: the tank's level and pump over a minute and more, with
// the K-factors' start values in the controller (as run-example has them).
TEST_F(Pictures, TrendGuide) {
    CKFactorTable kf;
    ASSERT_TRUE(kf.ReadFile(work / "KFTank.txt", 64));
    for (int i = 0; i < kf.count; ++i)
        frame.Ports().Simulator().KFactors()[static_cast<std::size_t>(i)] =
            kf.records[static_cast<std::size_t>(i)].startValue;
    WhenModal<CDlgCommport>([](CDlgCommport* d) { d->accept(); });
    frame.OnConnect();
    box.answers = {MsgResult::Ok};
    frame.OnUpload();
    frame.Tabs()->setCurrentIndex(1);
    frame.OnMonitor();
    frame.OnTrend();
    CTrendWindow& trend = *frame.Trend();
    trend.SetWindowSeconds(120);
    // The level, the pump and the push buttons; the K-factors stay constant.
    for (const auto& rec : project.Tables.sigs)
        if (rec->Name.rfind("K_", 0) == 0 || rec->Name == "DEMAND" || rec->Name == "AUTODEM" ||
            rec->Name == "MANRUN" || rec->Name == "STOPPB")
            trend.SetShown(rec->Number, false);
    QTest::qWait(75000);  // START at 20 s, STOP at 60 s
    trend.resize(1000, 520);
    SavePicture(trend, "ostra-trend.png");
    frame.OnMonitor();
}

// docs/editing.md: a block dragged with its wires following.
TEST_F(Pictures, WiresFollowADraggedBlock) {
    COstra_PLCView& view = *frame.ActiveView();
    view.Magnify();
    view.Magnify();
    view.grab();
    COstra_PLCDoc& doc = *view.Document();
    COxFunc* scale = nullptr;
    for (auto& f : doc.blocks)
        if (f->functionType == "SCALE") scale = f.get();
    ASSERT_NE(scale, nullptr);
    const QPoint centre((scale->bounds.left + scale->bounds.right) / 2,
                        (scale->bounds.top + scale->bounds.bottom) / 2);
    Press(view, centre);
    Release(view, centre);
    view.grab();
    SavePicture(view, "ostra-editing-follow-before.png");
    const int s = view.Scale();
    Press(view, centre);
    Move(view, centre + QPoint(4 * s, 6 * s), Qt::LeftButton);
    Release(view, centre + QPoint(4 * s, 6 * s));
    view.grab();
    SavePicture(view, "ostra-editing-follow-after.png");
}

}  // namespace
}  // namespace ostra

