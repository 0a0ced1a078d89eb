// Toolbar customisation dialog.
#include "editor/CDlgCustomize.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostra {

CDlgCustomize::CDlgCustomize(const QList<QAction*>& actions, const QStringList& hidden,
                             QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Customize"));
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        auto* item = new QListWidgetItem(a->iconText(), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(hidden.contains(a->iconText()) ? Qt::Unchecked : Qt::Checked);
        item->setToolTip(a->statusTip());
    }
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this] {
                for (int i = 0; i < list_->count(); ++i) list_->item(i)->setCheckState(Qt::Checked);
            });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Buttons of the Standard toolbar:"), this));
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

QStringList CDlgCustomize::Hidden() const {
    QStringList out;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() != Qt::Checked) out << list_->item(i)->text();
    return out;
}

}  // namespace ostra
