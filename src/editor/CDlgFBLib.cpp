// Function Block Library dialog.
#include "editor/CDlgFBLib.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTreeWidget>

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
      tree_(new QTreeWidget(this)),
      picture_(new Picture(this)),
      description_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Function Block Library"));
    tree_->setHeaderHidden(true);
    description_->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { Select(item); });
    auto* grid = new QGridLayout(this);
    grid->addWidget(tree_, 0, 0, 2, 1);
    grid->addWidget(picture_, 0, 1);
    grid->addWidget(description_, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);
    resize(792, 600);  // 396 x 369 dialog units
}

void CDlgFBLib::Rebuild() {
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
        entry->TreeHandle = item;
    }
    tree_->expandAll();
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
