// Function Block Library dialog.
#include "editor/CDlgFBLib.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "editor/ReadOnlyLook.h"
#include "model/COxFunc.h"
#include "platform/qt/QtDrawSurface.h"
#include "project/CFuncLibrary.h"

namespace ostra {

// The white, sunken picture area: the selected definition at (4, 4), scale 10.
class CDlgFBLib::Picture : public QFrame {
  public:
    explicit Picture(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setMinimumSize(240, 200);
    }
    void Show(const COxFunc* def) {
        block_ = def ? std::make_unique<COxFunc>(*def) : nullptr;
        if (block_) block_->position = {4, 4};
        update();
    }

  protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        if (block_) {
            QtDrawSurface dc(p);
            DrawParams params;
            params.scale = 10;
            block_->Draw(&dc, params);
        }
        p.end();
        QFrame::paintEvent(e);
    }

  private:
    std::unique_ptr<COxFunc> block_;
};

CDlgFBLib::CDlgFBLib(CFuncLibrary& library, QWidget* parent)
    : QDialog(parent),
      lib_(library),
      filter_(new QLineEdit(this)),
      tree_(new QTreeWidget(this)),
      picture_(new Picture(this)),
      description_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Function Block Library"));
    tree_->setHeaderHidden(true);
    SetReadOnlyLook(description_, true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { Select(item); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        Select(item);
        if (lib_.SelectedLibFunc) accept();
    });
    filter_->setPlaceholderText(QStringLiteral("Find: part of a name or description"));
    filter_->setClearButtonEnabled(true);
    connect(filter_, &QLineEdit::textChanged, this, &CDlgFBLib::Filter);
    // Return goes on to the dialog's OK, with the match in front chosen.
    connect(filter_, &QLineEdit::returnPressed, this, [this] {
        QTreeWidgetItem* cur = tree_->currentItem();
        if (!cur || cur->isHidden() || cur->childCount() > 0) cur = FirstShownBlock();
        if (cur) tree_->setCurrentItem(cur);
    });
    auto* grid = new QGridLayout(this);
    grid->addWidget(filter_, 0, 0);
    grid->addWidget(tree_, 1, 0, 2, 1);
    grid->addWidget(picture_, 0, 1, 2, 1);
    grid->addWidget(description_, 2, 1);
    grid->addWidget(buttons, 3, 0, 1, 2);
    resize(792, 600);  // 396 x 369 dialog units
}

void CDlgFBLib::Rebuild(const QString& current) {
    tree_->clear();
    QTreeWidgetItem* heading = nullptr;
    for (auto& entry : lib_.LibTree) {
        auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(entry->Name)));
        if (entry->Kind == CFuncTreeItem::kHeading || !heading) {
            tree_->addTopLevelItem(item);
            if (entry->Kind == CFuncTreeItem::kHeading) heading = item;
        } else {
            heading->addChild(item);
        }
        item->setData(0, Qt::UserRole, QString::fromStdString(entry->Description));
        entry->TreeHandle = item;
    }
    tree_->expandAll();
    if (!current.isEmpty()) {
        const auto found = tree_->findItems(current, Qt::MatchExactly | Qt::MatchRecursive);
        for (QTreeWidgetItem* item : found)
            if (item->childCount() == 0) {
                tree_->setCurrentItem(item);
                break;
            }
    }
}

void CDlgFBLib::Filter(const QString& text) {
    const auto matches = [&text](const QTreeWidgetItem* item) {
        return item->text(0).contains(text, Qt::CaseInsensitive) ||
               item->data(0, Qt::UserRole).toString().contains(text, Qt::CaseInsensitive);
    };
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree_->topLevelItem(i);
        // A matching heading shows all its blocks.
        const bool headingMatches = !text.isEmpty() && top->childCount() > 0 &&
                                    top->text(0).contains(text, Qt::CaseInsensitive);
        bool any = false;
        for (int k = 0; k < top->childCount(); ++k) {
            QTreeWidgetItem* child = top->child(k);
            const bool shown = text.isEmpty() || headingMatches || matches(child);
            child->setHidden(!shown);
            any = any || shown;
        }
        top->setHidden(top->childCount() > 0 ? !any : !(text.isEmpty() || matches(top)));
    }
    QTreeWidgetItem* cur = tree_->currentItem();
    if (!cur || cur->isHidden()) tree_->setCurrentItem(FirstShownBlock());
}

QTreeWidgetItem* CDlgFBLib::FirstShownBlock() const {
    for (QTreeWidgetItemIterator it(tree_, QTreeWidgetItemIterator::NotHidden); *it; ++it)
        if ((*it)->childCount() == 0 && lib_.FindFunc((*it)->text(0).toStdString())) return *it;
    return nullptr;
}

void CDlgFBLib::Select(QTreeWidgetItem* item) {
    const std::string name = item ? item->text(0).toStdString() : std::string();
    QString text;
    for (const auto& entry : lib_.LibTree)
        if (entry->Name == name) {
            text = QString::fromStdString(entry->Description);
            break;
        }
    description_->setPlainText(text);
    lib_.SelectedLibFunc = item ? lib_.FindFunc(name) : nullptr;
    picture_->Show(lib_.SelectedLibFunc);
}

QString CDlgFBLib::Description() const {
    return description_->toPlainText();
}

}  // namespace ostra
