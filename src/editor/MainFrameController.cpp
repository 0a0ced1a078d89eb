// The main window's controller commands: connect, upload, verify, monitor,
// trend, statistics and K-factors.
#include "editor/CMainFrame.h"

#include <QFileDialog>

#include "comm/CKFactorTable.h"
#include "comm/COxMonitor.h"
#include "comm/CTargetOps.h"
#include "editor/COstra_PLCView.h"
#include "editor/ControllerDialogs.h"
#include "editor/TrendWindow.h"
#include "platform/FileIO.h"
#include "platform/IMessageBox.h"
#include "project/COstraProject.h"

namespace ostra {

void CMainFrame::OnConnect() {
    CTargetOps ops(project_, *link_, clock_, progress_);
    if (ops.Connect()) connectedProc_ = ops.ConnectedProc;
    UpdatePanes();
}

bool CMainFrame::HasImageToSend() {
    // Uploading nothing would stop the controller and pass as verified.
    if (project_.Tables.fbs.empty()) {
        msg_.Show("The project has no compiled diagram: compile it first.", "Ostra_PLC",
                  MsgIcon::Exclamation, MsgButtons::Ok);
        return false;
    }
    if (imageStale_) {
        msg_.Show("A sheet was changed after the diagram was compiled: compile it again first.",
                  "Ostra_PLC", MsgIcon::Exclamation, MsgButtons::Ok);
        return false;
    }
    return true;
}

void CMainFrame::OnUpload() {
    if (!HasImageToSend()) return;
    CTargetOps ops(project_, *link_, clock_, progress_);
    ops.Upload();
    UpdatePanes();
}

void CMainFrame::OnVerify() {
    if (!HasImageToSend()) return;
    CTargetOps ops(project_, *link_, clock_, progress_);
    ops.Verify();
    UpdatePanes();
}

void CMainFrame::Disconnect() {
    StopMonitoring();
    link_->ClosePort();
    link_->LinkLost();
    project_.Connected = false;
    connectedProc_.clear();
}

void CMainFrame::OnMonitor() {
    COstra_PLCView* v = ActiveView();
    if (!v) return;
    monitor_.ToggleMonitor(COxMonitor::kCommand, *v->Document(), project_, *link_,
                           v->MonitorTimer());
    monitorView_ = monitor_.monitoring ? v : nullptr;
    if (!monitor_.monitoring) v->ClearMonitorDrawing();
    if (monitor_.monitoring) {
        // A new run of samples, timed from here.
        trendLog_.Clear();
        trendClock_.start();
        if (trend_) UpdateTrendSignals(true);
    }
    UpdatePanes();
}

void CMainFrame::OnTrend() {
    if (!monitor_.monitoring) return;
    if (!trend_) trend_ = new CTrendWindow(trendLog_, msg_, this);
    UpdateTrendSignals(true);
    trend_->show();
    trend_->raise();
    trend_->activateWindow();
}

void CMainFrame::UpdateTrendSignals(bool showAll) {
    const std::vector<int32_t> digital = COxMonitor::DigitalSignals(project_.Tables);
    const std::vector<int32_t>& polled = monitor_.polledSignals;
    std::vector<CTrendWindow::Signal> list;
    for (int32_t n : polled)
        for (const auto& rec : project_.Tables.sigs)
            if (rec->Number == n)
                list.push_back({n, rec->Name, std::binary_search(digital.begin(), digital.end(), n)});
    std::vector<int32_t> shown = showAll ? polled : trend_->Shown();
    trend_->SetSignals(list, shown);
}

void CMainFrame::StopMonitoring() {
    if (!monitor_.monitoring || !monitorView_) return;
    monitor_.ToggleMonitor(COxMonitor::kCommand, *monitorView_->Document(), project_, *link_,
                           monitorView_->MonitorTimer());
    monitorView_->ClearMonitorDrawing();
    monitorView_ = nullptr;
}

void CMainFrame::MonitorFollowsActiveView() {
    if (!monitor_.monitoring) return;
    COstra_PLCView* now = ActiveView();
    if (monitorView_ == now) return;
    // The old view's timer stops with the mode kept on; the new view builds
    // its own blocks and starts its timer.
    if (monitorView_) {
        monitor_.ToggleMonitor(COxMonitor::kDeactivate, *monitorView_->Document(), project_, *link_,
                               monitorView_->MonitorTimer());
        monitorView_->ClearMonitorDrawing();
    }
    monitorView_ = now;
    if (now)
        monitor_.ToggleMonitor(COxMonitor::kActivate, *now->Document(), project_, *link_,
                               now->MonitorTimer());
}

void CMainFrame::MonitorTick(COstra_PLCView* view) {
    std::vector<std::pair<int32_t, double>> values;
    const std::vector<MonitorLabel> labels =
        monitor_.MonitorTick(*view->Document(), project_, *link_, view->MonitorTimer(), &values);
    // Wires whose signal a digital output drives: on while the value is not 0.
    const std::vector<int32_t> digital = COxMonitor::DigitalSignals(project_.Tables);
    std::map<const COxWireSeg*, bool> live;
    for (const auto& [number, value] : values) {
        if (!std::binary_search(digital.begin(), digital.end(), number)) continue;
        for (const auto& rec : project_.Tables.sigs) {
            if (rec->Number != number) continue;
            for (const auto& s : view->Document()->segments)
                if (s->name == rec->Name) live[s.get()] = value != 0;
        }
    }
    view->ShowMonitorValues(labels, live);
    trendLog_.Add(trendClock_.isValid() ? trendClock_.elapsed() : 0, values);
    if (trend_ && trend_->isVisible()) {
        // Another sheet came forward: its signals, all shown.
        if (trend_->Listed() != monitor_.polledSignals) UpdateTrendSignals(true);
        trend_->Refresh();
    }
    if (!link_->Connected) UpdatePanes();
}

void CMainFrame::OnStatistics() {
    CDlgProcStat dialog(*link_, connectedProc_, this);
    dialog.ReadAll();
    dialog.exec();
    UpdatePanes();
}

void CMainFrame::OnKFactorEdit(const QString& file) {
    QString path = file;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QStringLiteral("K-Factor File"),
                                            QString::fromStdString(project_.CurrentDir.string()),
                                            QStringLiteral("K-Factor Files (KF*.txt)"));
        if (path.isEmpty()) return;
    }
    CKFactorTable table;
    std::string error;
    if (!table.ReadFile(path.toStdString(), project_.Library.MaxFBlocks, &error)) {
        msg_.Show("The K-factor file " + path.toStdString() + " cannot be opened: " + error + ".",
                  "Ostra_PLC", MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    CDlgKFEdit dialog(table, *link_, msg_, project_.Library.MaxKFacts, this);
    dialog.Start();
    dialog.exec();
    UpdatePanes();
}

}  // namespace ostra
