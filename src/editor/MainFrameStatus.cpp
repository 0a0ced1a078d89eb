// The main window's status bar: the project panes and the editing pane.
#include "editor/CMainFrame.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "editor/COstra_PLCView.h"
#include "platform/qt/LockKeys.h"
#include "project/COstraProject.h"

namespace ostra {

void CMainFrame::BuildStatusBar() {
    // The message pane's idle prompt; a command's description covers it.
    auto* idlePrompt = new QLabel(QStringLiteral("For Help, press F1"), this);
    idlePrompt->setObjectName(QStringLiteral("idlePrompt"));
    statusBar()->addWidget(idlePrompt, 1);
    const auto initial = StatusPanes::InitialTexts();
    for (int i = 0; i < StatusPanes::kCount; ++i) {
        paneLabels_[i] = new QLabel(QString::fromStdString(initial[i]), this);
        paneLabels_[i]->setMinimumWidth(paneLabels_[i]->sizeHint().width());
        statusBar()->addPermanentWidget(paneLabels_[i]);
    }
    // The plain pane after the project panes: grid position and editing mode.
    editPane_ = new QLabel(this);
    editPane_->setMinimumWidth(editPane_->fontMetrics().horizontalAdvance(
        QStringLiteral("x 125, y 84   Insert function block")));
    statusBar()->addPermanentWidget(editPane_);
    // The lock-key indicators: the text always there, dimmed while off.
    for (int i = 0; i < 3; ++i) {
        static const char* const names[] = {"CAP", "NUM", "SCRL"};
        lockLabels_[i] = new QLabel(QString::fromLatin1(names[i]), this);
        lockLabels_[i]->setObjectName(QString::fromLatin1(names[i]));
        lockLabels_[i]->setEnabled(false);
        statusBar()->addPermanentWidget(lockLabels_[i]);
    }
    idle_ = new QTimer(this);
    connect(idle_, &QTimer::timeout, this, &CMainFrame::UpdatePanes);
    idle_->start(250);
}

void CMainFrame::AfterRepaint() {
    // The active view's sheet decides the wire-check mark, whichever view painted.
    if (COstra_PLCView* v = ActiveView()) activeCheckState_ = v->Document()->checkState;
    project_.Menu.SetChecked(CProjectMenu::kWireCheck, activeCheckState_ == 1);
    int32_t total = 0;
    for (const auto& sheet : project_.Sheets) total += static_cast<int32_t>(sheet->blocks.size());
    const bool countChanged = project_.FBCount != total;
    project_.FBCount = total;
    // The count shows at once rather than at the next idle update.
    if (countChanged) UpdatePanes();
    if (total < project_.Library.MaxFBlocks) {
        warnedTotal_ = -1;
        return;
    }
    // At the limit the repaint brings the warning, shown after the repaint and
    // once for each block count: the box's own repaint must not repeat it.
    if (total == warnedTotal_) return;
    warnedTotal_ = total;
    QTimer::singleShot(0, this, [this] { project_.CheckPlcFull(); });
}

void CMainFrame::UpdatePanes() {
    if (COstra_PLCView* v = ActiveView())
        activeCheckState_ = v->Document()->checkState;
    else
        activeCheckState_ = 0;
    panes_.Update(project_, activeCheckState_);
    ApplyMenuStates();
    UpdateEditActions();
    UpdateZoomActions();
    for (int i = 0; i < StatusPanes::kCount; ++i)
        paneLabels_[i]->setText(QString::fromStdString(panes_.texts[i]));
    const LockKeyState locks = QueryLockKeys();
    const bool on[] = {locks.caps, locks.num, locks.scroll};
    for (int i = 0; i < 3; ++i) lockLabels_[i]->setEnabled(locks.known && on[i]);
    // Without a sheet there is no position, mode or sheet to close.
    if (!ActiveView()) editPane_->clear();
    if (closeAction_) closeAction_->setEnabled(ActiveView() != nullptr);
}

void CMainFrame::UpdateZoomActions() {
    // Magnify and Reduce are offered only while there is a step to take.
    const COstra_PLCView* v = ActiveView();
    if (magnify_) magnify_->setEnabled(v && v->CanMagnify());
    if (reduce_) reduce_->setEnabled(v && v->CanReduce());
}

}  // namespace ostra
