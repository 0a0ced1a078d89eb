// The controller commands of the application against the built-in simulated
// controller, offscreen: connect, upload, verify, monitor, statistics and
// K-factors, with the "&Project" menu states after each step.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "comm/CKFactorTable.h"
#include "comm/COxComm.h"
#include "editor/CMainFrame.h"
#include "editor/COstra_PLCView.h"
#include "editor/ControllerDialogs.h"
#include "editor/GuiPorts.h"
#include "editor/TrendWindow.h"
#include "model/SheetEditor.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "sim/CSimController.h"
#include "support/ExampleFrame.h"
#include "support/QtWaits.h"
#include "support/Recorders.h"
#include "support/SimRig.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

using test::WhenModal;
using test::WhenShown;

class ControllerCommands : public ::testing::Test, public test::ExampleFrame {
  protected:
    ControllerCommands() {
        OpenOnSimulator();
    }
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
    EXPECT_EQ(LastMessage(), "Connected to KMRU-01 OK");
    EXPECT_EQ(frame.ConnectedProc(), "KMRU-01");
    EXPECT_TRUE(Enabled(CProjectMenu::kUpload));

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
    EXPECT_EQ(box.messages[box.messages.size() - 2].text.rfind("Uploading a new diagram", 0), 0u);
    EXPECT_EQ(LastMessage(), "Verified OK");
    EXPECT_TRUE(frame.Progress()->history.contains("Checking Func Blocks 19/19"));
    EXPECT_FALSE(frame.Progress()->isVisible());
    EXPECT_EQ(frame.Ports().Simulator().Blocks().size(), 19u);

    // Monitor the first sheet: values appear under the wire names.
    COstra_PLCView* view = frame.ActiveView();
    frame.OnMonitor();
    EXPECT_TRUE(frame.Monitor().monitoring);
    EXPECT_TRUE(view->MonitorTimerActive());
    QTest::qWait(1500);
    bool levelShown = false;
    for (const auto& [segment, label] : view->MonitorLabels())
        if (segment->name == "LEVEL") {
            levelShown = true;
            const double level = std::stod(label.text);
            EXPECT_GT(level, 0.0);
            EXPECT_LT(level, 100.0);
        }
    EXPECT_TRUE(levelShown);
    view->grab();  // the values are drawn with the sheet

    // The second sheet takes over the mode; its digital wires show live.
    frame.Tabs()->setCurrentIndex(1);
    COstra_PLCView* second = frame.ActiveView();
    EXPECT_FALSE(view->MonitorTimerActive());
    EXPECT_TRUE(view->MonitorLabels().empty());
    EXPECT_TRUE(second->MonitorTimerActive());
    QTest::qWait(1500);
    ASSERT_FALSE(second->MonitorLabels().empty());
    // With the K-factors at 0 the level is above the alarm limit: HIGH is on;
    // STOP is not pressed (closed, 1), so STOPPB is off.
    int high = 0, stoppb = 0;
    for (const auto& seg : second->Document()->segments) {
        if (seg->name == "HIGH") high += second->WireShownLive(seg.get()) ? 1 : -100;
        if (seg->name == "STOPPB") stoppb += second->WireShownLive(seg.get()) ? 1 : 0;
    }
    EXPECT_EQ(high, 1);
    EXPECT_EQ(stoppb, 0);
    second->grab();

    frame.OnMonitor();
    EXPECT_FALSE(frame.Monitor().monitoring);
    EXPECT_FALSE(second->MonitorTimerActive());
    EXPECT_TRUE(second->MonitorLabels().empty());
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
    EXPECT_FALSE(frame.Monitor().monitoring);
    EXPECT_FALSE(frame.Link().Connected);
    for (void (CMainFrame::*command)() : {&CMainFrame::OnUpload, &CMainFrame::OnVerify}) {
        box.answers = {MsgResult::Ok};
        (frame.*command)();
        EXPECT_EQ(LastMessage(), "The project has no compiled diagram: compile it first.");
    }
    EXPECT_TRUE(frame.Ports().Simulator().Running());
    EXPECT_TRUE(frame.Ports().Simulator().Blocks().empty());
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
    EXPECT_EQ(static_cast<int>(shown.size()), t->SignalList()->count());
    EXPECT_EQ(t->Listed(), frame.Monitor().polledSignals);
    EXPECT_GT(shown.size(), frame.Monitor().monSignals.size());
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
    EXPECT_EQ(csv.rfind("time_ms,", 0), 0u);
    EXPECT_NE(csv.substr(0, csv.find('\r')).find("LEVEL"), std::string::npos);
    EXPECT_GE(std::count(csv.begin(), csv.end(), '\n'), 3);
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
    EXPECT_FALSE(frame.Monitor().monitoring);
    EXPECT_FALSE(view->MonitorTimerActive());
    EXPECT_TRUE(view->MonitorLabels().empty());
    EXPECT_FALSE(Enabled(CProjectMenu::kMonitor));
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
    EXPECT_EQ(dialog.ChosenDevice(), CGuiPorts::SystemDevice(3));
    EXPECT_EQ(dialog.Box()->maximum(), 9);
    EXPECT_EQ(dialog.Port()->maximum(), 64);

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
    EXPECT_TRUE(echo);
    EXPECT_EQ(boxNo, 2);
    EXPECT_EQ(settings.GetString("Ports", "COM3", ""), "simulator");
    EXPECT_EQ(frame.Ports().DeviceFor(3), "simulator");

    // Cancel keeps what was there; in Connect it ends the command quietly.
    WhenModal<CDlgCommport>([](CDlgCommport* d) {
        d->Box()->setValue(7);
        d->reject();
    });
    EXPECT_FALSE(dialog.Show(port, echo, boxNo, slot));
    EXPECT_EQ(boxNo, 2);

    // A stored value outside its range is shown as it is and refused at OK,
    // the dialog staying open until it is put right.
    slot = 40;
    WhenModal<CDlgCommport>([this](CDlgCommport* d) {
        EXPECT_EQ(d->Slot()->value(), 40);
        d->accept();
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(LastMessage(), "Please enter an integer between 0 and 16.");
        d->Slot()->setValue(16);
        d->accept();
    });
    EXPECT_TRUE(dialog.Show(port, echo, boxNo, slot));
    EXPECT_EQ(slot, 16);
    frame.Ports().SetAllSimulated(true);
    box.messages.clear();
    WhenModal<CDlgCommport>([](CDlgCommport* d) { d->reject(); });
    frame.OnConnect();
    EXPECT_TRUE(box.messages.empty());
    EXPECT_FALSE(frame.Link().Connected);
    EXPECT_EQ(frame.Ports().Simulator().Transactions(), 0);
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
    EXPECT_EQ(type, "KMRU-01");
    EXPECT_EQ(firmware, " 3.02");
    EXPECT_EQ(serial, "1234567");
    EXPECT_GT(total.toInt(), 0);
}

TEST_F(ControllerCommands, KFactorsEditedAndUpdated) {
    Connect();
    box.answers = {MsgResult::Ok};
    frame.OnUpload();
    WhenModal<CDlgKFEdit>([this](CDlgKFEdit* d) {
        EXPECT_EQ(d->windowTitle(), "Edit K-Factors");
        EXPECT_FALSE(d->Cell(0, 1)->text().isEmpty());
        EXPECT_TRUE(d->Cell(0, 1)->isReadOnly());
        EXPECT_EQ(d->Cell(0, 1)->palette().color(QPalette::Base),
                  d->palette().color(QPalette::Window));
        EXPECT_NE(d->Cell(0, 5)->palette().color(QPalette::Base),
                  d->palette().color(QPalette::Window));
        d->Cell(0, 5)->setText("lots");  // no number: refused, marked
        Q_EMIT d->Cell(0, 5)->editingFinished();
        EXPECT_EQ(d->Cell(0, 5)->toolTip(), "Not a number: enter a value from 0 to 100");
        EXPECT_FALSE(d->Changed()->isChecked());
        d->Cell(0, 5)->setText("150");  // outside 0 .. 100: taken, but marked
        Q_EMIT d->Cell(0, 5)->editingFinished();
        EXPECT_EQ(d->Cell(0, 5)->toolTip(), "Outside the range 0 .. 100 (allowed, not enforced)");
        d->Cell(0, 5)->setText("77.5");
        Q_EMIT d->Cell(0, 5)->editingFinished();
        EXPECT_TRUE(d->Cell(0, 5)->toolTip().isEmpty());
        EXPECT_TRUE(d->Changed()->isChecked());
        // The update stops the controller: asked first, Cancel sends nothing.
        const std::size_t asked = box.messages.size();
        box.answers = {MsgResult::Cancel};
        d->Button("Update\nto PLC")->click();
        ASSERT_EQ(box.messages.size(), asked + 1);
        EXPECT_EQ(box.messages.back().text.rfind("Updating the K-factors requires that the\n"
                                                 "CONTROLLER WILL BE STOPPED !!", 0), 0u);
        EXPECT_TRUE(d->Changed()->isChecked());
        EXPECT_TRUE(d->Button("Quit without\nUpdating PLC"));
        d->AskFirst()->setChecked(false);  // for the rest of the session
        d->Button("Update\nto PLC")->click();
        EXPECT_EQ(box.messages.size(), asked + 1);
        EXPECT_FALSE(d->Changed()->isChecked());
        d->AskFirst()->setChecked(true);
        d->Button("Close")->click();
    });
    frame.OnKFactorEdit(QString::fromStdString((work / "KFTank.txt").string()));
    EXPECT_DOUBLE_EQ(frame.Ports().Simulator().KFactors().at(0), 77.5);
    EXPECT_TRUE(frame.Ports().Simulator().Running());  // started again after the update

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
    dead.rate = 1.0;
    dead.kinds = {sim::Fault::kNoAnswer};
    frame.Ports().Simulator().SetFaults(dead);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !frame.ActiveView()->MonitorTimerActive(); }, 20000));
    EXPECT_EQ(LastMessage(), "Connection Failed");
    EXPECT_FALSE(frame.Link().Connected);
    EXPECT_FALSE(Enabled(CProjectMenu::kMonitor));
}

}  // namespace
}  // namespace ostra
