// Select Processor dialog.
#include "editor/CDlgSelProc.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "platform/FileIO.h"

namespace ostra {

CDlgSelProc::CDlgSelProc(const std::filesystem::path& programFolder, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Select Processor"));
    list_->setSortingEnabled(true);
    // Each library by its file name up to the first ".".
    for (const std::string& file : ListFolder(programFolder, ".oxl"))
        list_->addItem(QString::fromStdString(file.substr(0, file.find('.'))));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

void CDlgSelProc::done(int result) {
    // Whichever way it closes, the selection becomes the chosen name.
    const QListWidgetItem* item = list_->currentItem();
    chosen_ = item && item->isSelected() ? item->text() : QString();
    QDialog::done(result);
}

}  // namespace ostra
