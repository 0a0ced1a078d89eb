#include "editor/ProblemPanels.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/ISettings.h"

namespace ostra {
namespace {

constexpr int kRowRole = Qt::UserRole + 1;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString SheetName(const SheetPlace& p) { return p.sheet.empty() ? QStringLiteral("(project)") : Q(p.sheet); }

QTreeWidget* MakeTree(const QStringList& headers) {
    auto* tree = new QTreeWidget;
    tree->setHeaderLabels(headers);
    tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree->setUniformRowHeights(true);
    tree->setAllColumnsShowFocus(true);
    tree->header()->setStretchLastSection(true);
    return tree;
}

}  // namespace

CProblemsPanel::CProblemsPanel(QWidget* parent) : QDockWidget(QStringLiteral("Problems"), parent) {
    setObjectName(QStringLiteral("ProblemsPanel"));
    auto* body = new QWidget;
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(2, 2, 2, 2);
    auto* bar = new QHBoxLayout;
    sheetFilter_ = new QComboBox;
    sheetFilter_->setToolTip(QStringLiteral("Show the problems of one sheet"));
    severityFilter_ = new QComboBox;
    severityFilter_->addItems({QStringLiteral("Errors and warnings"), QStringLiteral("Errors"),
                               QStringLiteral("Warnings")});
    warningsButton_ = new QToolButton;
    warningsButton_->setText(QStringLiteral("Warnings"));
    warningsButton_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(warningsButton_);
    const struct {
        const char* text;
        const char* key;
        bool WarningSwitches::*flag;
    } kinds[] = {
        {"Inputs with nothing wired", "OpenInputs", &WarningSwitches::openInputs},
        {"One name driven on wires that do not touch", "NameSplits", &WarningSwitches::nameSplits},
        {"Cross references nothing drives", "UndrivenXrefs", &WarningSwitches::undrivenXrefs},
    };
    for (const auto& k : kinds) {
        QAction* a = menu->addAction(QString::fromUtf8(k.text));
        a->setCheckable(true);
        a->setChecked(true);
        a->setData(QString::fromUtf8(k.key));
        const auto flag = k.flag;
        const std::string key = k.key;
        connect(a, &QAction::toggled, this, [this, flag, key](bool on) {
            warnings_.*flag = on;
            if (settings_) settings_->SetInt("Problems", key, on ? 1 : 0);
            if (onWarningsChanged) onWarningsChanged();
        });
    }
    warningsButton_->setMenu(menu);
    bar->addWidget(sheetFilter_, 1);
    bar->addWidget(severityFilter_, 1);
    bar->addWidget(warningsButton_);
    column->addLayout(bar);
    tree_ = MakeTree({QStringLiteral("Severity"), QStringLiteral("Sheet"), QStringLiteral("Object"),
                      QStringLiteral("Signal"), QStringLiteral("Problem")});
    tree_->setRootIsDecorated(false);
    column->addWidget(tree_);
    setWidget(body);

    auto* copy = new QAction(QStringLiteral("&Copy"), tree_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this] {
        QGuiApplication::clipboard()->setText(RowsAsText(!tree_->selectedItems().isEmpty()));
    });
    tree_->addAction(copy);
    tree_->setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(sheetFilter_, &QComboBox::currentIndexChanged, this, [this] { ApplyFilter(); });
    connect(severityFilter_, &QComboBox::currentIndexChanged, this, [this] { ApplyFilter(); });
    connect(tree_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { Activate(item); });
    SetRows({});
}

void CProblemsPanel::LoadWarnings(ISettings* settings) {
    settings_ = settings;
    if (!settings_) return;
    for (QAction* a : warningsButton_->menu()->actions()) {
        const bool on = settings_->GetInt("Problems", a->data().toString().toStdString(), 1) != 0;
        a->setChecked(on);  // toggled() stores and applies it
    }
}

void CProblemsPanel::SetRows(std::vector<Problem> rows) {
    rows_ = std::move(rows);
    const QString chosen = sheetFilter_->currentIndex() > 0 ? sheetFilter_->currentText() : QString();
    QStringList sheets;
    for (const Problem& p : rows_)
        if (!sheets.contains(SheetName(p))) sheets << SheetName(p);
    {
        const QSignalBlocker quiet(sheetFilter_);
        sheetFilter_->clear();
        sheetFilter_->addItem(QStringLiteral("All sheets"));
        sheetFilter_->addItems(sheets);
        sheetFilter_->setCurrentIndex(std::max(0, sheetFilter_->findText(chosen)));
    }
    tree_->clear();
    int errors = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Problem& p = rows_[i];
        const bool error = p.severity == Severity::kError;
        errors += error;
        auto* item = new QTreeWidgetItem(
            {error ? QStringLiteral("Error") : QStringLiteral("Warning"), SheetName(p),
             Q(p.Object()), Q(p.signal), Q(p.text)});
        item->setIcon(0, style()->standardIcon(error ? QStyle::SP_MessageBoxCritical
                                                     : QStyle::SP_MessageBoxWarning));
        item->setToolTip(4, Q(p.text));
        item->setData(0, kRowRole, static_cast<int>(i));
        tree_->addTopLevelItem(item);
    }
    for (int c = 0; c < 4; ++c) tree_->resizeColumnToContents(c);
    const int warnings = static_cast<int>(rows_.size()) - errors;
    const auto count = [](int n, const char* one) {
        return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(one)).arg(n == 1 ? "" : "s");
    };
    setWindowTitle(rows_.empty() ? QStringLiteral("Problems")
                                 : QStringLiteral("Problems (%1, %2)")
                                       .arg(count(errors, "error"), count(warnings, "warning")));
    ApplyFilter();
}

void CProblemsPanel::ApplyFilter() {
    const QString sheet = sheetFilter_->currentIndex() > 0 ? sheetFilter_->currentText() : QString();
    const int severity = severityFilter_->currentIndex();  // 0 both, 1 errors, 2 warnings
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree_->topLevelItem(i);
        const Problem& p = rows_[static_cast<std::size_t>(item->data(0, kRowRole).toInt())];
        const bool error = p.severity == Severity::kError;
        const bool shown = (sheet.isEmpty() || SheetName(p) == sheet) &&
                           (severity == 0 || (severity == 1) == error);
        item->setHidden(!shown);
    }
}

QString CProblemsPanel::RowsAsText(bool selectedOnly) const {
    QString text;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree_->topLevelItem(i);
        if (item->isHidden() || (selectedOnly && !item->isSelected())) continue;
        text += Q(ProblemLine(rows_[static_cast<std::size_t>(item->data(0, kRowRole).toInt())])) +
                QLatin1Char('\n');
    }
    return text;
}

void CProblemsPanel::Activate(QTreeWidgetItem* item) {
    if (!item || !onActivate) return;
    const Problem& p = rows_[static_cast<std::size_t>(item->data(0, kRowRole).toInt())];
    if (!p.sheet.empty()) onActivate(p);
}

CXrefPanel::CXrefPanel(QWidget* parent) : QDockWidget(QStringLiteral("Cross References"), parent) {
    setObjectName(QStringLiteral("XrefPanel"));
    auto* body = new QWidget;
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(2, 2, 2, 2);
    filter_ = new QLineEdit;
    filter_->setPlaceholderText(QStringLiteral("Filter signals"));
    filter_->setClearButtonEnabled(true);
    column->addWidget(filter_);
    tree_ = MakeTree({QStringLiteral("Signal"), QStringLiteral("Sheet"), QStringLiteral("Pin")});
    column->addWidget(tree_);
    setWidget(body);
    connect(filter_, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QVariant row = item ? item->data(0, kRowRole) : QVariant();
        if (!row.isValid() || !onActivate) return;
        const XrefUse& use = uses_[static_cast<std::size_t>(row.toInt())];
        if (!use.sheet.empty()) onActivate(use);
    });
}

void CXrefPanel::SetUses(std::vector<XrefUse> uses) {
    uses_ = std::move(uses);
    tree_->clear();
    QTreeWidgetItem* group = nullptr;
    std::string groupName;
    bool groupConst = false;
    for (std::size_t i = 0; i < uses_.size(); ++i) {
        const XrefUse& u = uses_[i];
        if (!group || u.name != groupName || u.constant != groupConst) {
            group = new QTreeWidgetItem(
                {u.constant ? QStringLiteral("Const %1").arg(Q(u.name)) : Q(u.name)});
            group->setData(0, Qt::UserRole, Q(u.name));
            tree_->addTopLevelItem(group);
            groupName = u.name;
            groupConst = u.constant;
        }
        auto* item = new QTreeWidgetItem(
            {u.source ? QStringLiteral("drives") : QStringLiteral("reads"), SheetName(u),
             QStringLiteral("%1.%2").arg(Q(u.ident)).arg(u.pin)});
        item->setData(0, kRowRole, static_cast<int>(i));
        group->addChild(item);
    }
    // Each group's title counts its sources and readers.
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* g = tree_->topLevelItem(i);
        int sources = 0;
        for (int c = 0; c < g->childCount(); ++c)
            sources += uses_[static_cast<std::size_t>(g->child(c)->data(0, kRowRole).toInt())].source;
        g->setText(1, QStringLiteral("%1 source(s)").arg(sources));
        g->setText(2, QStringLiteral("%1 reader(s)").arg(g->childCount() - sources));
    }
    tree_->resizeColumnToContents(0);
    ApplyFilter();
}

void CXrefPanel::ApplyFilter() {
    const QString text = filter_->text().trimmed();
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* g = tree_->topLevelItem(i);
        g->setHidden(!text.isEmpty() &&
                     !g->data(0, Qt::UserRole).toString().contains(text, Qt::CaseInsensitive));
    }
}

}  // namespace ostra
