// Windows dialog.
#include "editor/CDlgWindows.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/CMainFrame.h"

namespace ostra {

CDlgWindows::CDlgWindows(CMainFrame& frame)
    : QDialog(&frame), frame_(frame), list_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Windows"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* activate = new QPushButton(QStringLiteral("&Activate"), this);
    auto* close = new QPushButton(QStringLiteral("&Close Window(s)"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    activate->setDefault(true);
    connect(activate, &QPushButton::clicked, this, &CDlgWindows::Activate);
    connect(close, &QPushButton::clicked, this, &CDlgWindows::CloseSelected);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CDlgWindows::Activate);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(activate);
    buttons->addWidget(close);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    Fill();
}

void CDlgWindows::Fill() {
    list_->clear();
    const QTabWidget* tabs = frame_.Tabs();
    // The tabs' names, and their folders as tool tips.
    for (int i = 0; i < tabs->count(); ++i) {
        list_->addItem(tabs->tabText(i));
        list_->item(i)->setToolTip(tabs->tabToolTip(i));
    }
    list_->setCurrentRow(tabs->currentIndex());
}

void CDlgWindows::Activate() {
    const int row = list_->currentRow();
    if (row >= 0 && row < frame_.Tabs()->count()) frame_.Tabs()->setCurrentIndex(row);
    accept();
}

void CDlgWindows::CloseSelected() {
    std::vector<int> rows;
    for (const QListWidgetItem* item : list_->selectedItems()) rows.push_back(list_->row(item));
    // From the last, so that the earlier rows still name the same sheets.
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows) frame_.CloseSheet(row);
    Fill();
}

}  // namespace ostra
