// Object property dialogs.
#include "editor/PropertyDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "editor/ReadOnlyLook.h"
#include "platform/IMessageBox.h"
#include "platform/TextCodec.h"

namespace ostra {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString Num(int32_t v) {
    return QString::number(v);
}

}  // namespace

CPropsDialog::CPropsDialog(const QString& title, IMessageBox& msg, QWidget* parent)
    : QDialog(parent), msg_(msg) {
    setWindowTitle(title);
}

QLineEdit* CPropsDialog::Edit(int id) const {
    return findChild<QLineEdit*>(QString::number(id));
}

QCheckBox* CPropsDialog::Check(int id) const {
    return findChild<QCheckBox*>(QString::number(id));
}

QLineEdit* CPropsDialog::AddEdit(QGridLayout* grid, int row, int col, int id, const QString& label,
                                 const QString& value, bool editable) {
    auto* edit = new QLineEdit(value, this);
    edit->setObjectName(QString::number(id));
    SetReadOnlyLook(edit, !editable);
    if (!editable) edit->setFocusPolicy(Qt::ClickFocus);
    if (!label.isEmpty()) {
        auto* l = new QLabel(label, this);
        l->setBuddy(edit);
        grid->addWidget(l, row, col);
    }
    grid->addWidget(edit, row, col + 1);
    return edit;
}

void CPropsDialog::AddNumber(QLineEdit* edit, int32_t* out, bool digitsOnly, bool ranged,
                             int32_t low, int32_t high) {
    if (digitsOnly) {
        // Like a number-only edit control: nothing but digits can be typed.
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    numbers_.push_back({edit, out, ranged, low, high});
}

void CPropsDialog::Finish(QLayout* body) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPropsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body);
    outer->addWidget(buttons);
}

void CPropsDialog::accept() {
    std::vector<int32_t> values;
    for (const Number& n : numbers_) {
        const std::optional<int32_t> v = ParseWholeNumber(n.edit->text().toStdString());
        const bool inRange = v && (!n.ranged || (*v >= n.low && *v <= n.high));
        if (!inRange) {
            msg_.Show(v ? RangeMessage(n.low, n.high) : WholeNumberMessage(), "Ostra_PLC",
                      MsgIcon::Exclamation, MsgButtons::Ok);
            n.edit->setFocus();
            n.edit->selectAll();
            return;
        }
        values.push_back(*v);
    }
    for (std::size_t i = 0; i < numbers_.size(); ++i)
        if (numbers_[i].out) *numbers_[i].out = values[i];
    if (collect_) collect_();
    QDialog::accept();
}

CDlgFBProps::CDlgFBProps(FBPropsFields& f, IMessageBox& msg, QWidget* parent)
    : CPropsDialog(f.terminal ? QStringLiteral("Terminal Properties")
                              : QStringLiteral("Function Block Properties"),
                   msg, parent),
      f_(f) {
    auto* grid = new QGridLayout;
    AddEdit(grid, 0, 0, 1037, QStringLiteral("Function Type"), Q(f.functionType), false);
    AddEdit(grid, 0, 2, 1092, QStringLiteral("Type No."), Num(f.typeNumber), false);
    AddEdit(grid, 1, 0, 1034, QStringLiteral("Refnum"), Num(f.refnum), false);
    QLineEdit* ident = AddEdit(grid, 1, 2, 1033, QStringLiteral("Ident Name"), Q(f.ident), true);
    QLineEdit* x = AddEdit(grid, 2, 0, 1094, QStringLiteral("x - Position - y"), Num(f.x), true);
    QLineEdit* y = AddEdit(grid, 2, 2, 1095, QString(), Num(f.y), true);
    AddNumber(x, &f.x, false);
    AddNumber(y, &f.y, false);

    auto* inputs = new QGroupBox(QStringLiteral("Inputs"), this);
    auto* ig = new QGridLayout(inputs);
    auto* canChange = new QCheckBox(QStringLiteral("Can change"), inputs);
    canChange->setObjectName(QStringLiteral("1046"));
    canChange->setChecked(f.canChange);
    ig->addWidget(canChange, 0, 0, 1, 2);
    AddEdit(ig, 1, 0, 1047, QStringLiteral("Minimum"), Num(f.minimum), false);
    QLineEdit* actual = AddEdit(ig, 1, 2, 1048, QStringLiteral("Actual"), Num(f.actual), true);
    // The terminal dialog has no range on "Actual"; both only take it within
    // the block's own limits when written back.
    AddNumber(actual, &f.actual, false, !f.terminal, 0, 15);
    grid->addWidget(inputs, 3, 0, 1, 4);

    if (f.terminal) {
        auto* values = new QGroupBox(QStringLiteral("Values"), this);
        auto* vg = new QGridLayout(values);
        static constexpr int kNameIds[] = {1096, 1098, 1099, 1100, 1101};
        static constexpr int kValueIds[] = {1097, 1102, 1103, 1104, 1105};
        for (int row = 0; row < FBPropsFields::kValueRows; ++row) {
            AddEdit(vg, row, 0, kNameIds[row], QString(), Q(f.valueNames[row]), false);
            QLineEdit* v = AddEdit(vg, row, 1, kValueIds[row], QString(), Num(f.values[row]), true);
            AddNumber(v, &f.values[row], false);
        }
        grid->addWidget(values, 4, 0, 1, 4);
    }
    collect_ = [this, ident, canChange] {
        f_.ident = ident->text().toStdString();
        f_.canChange = canChange->isChecked();
    };
    Finish(grid);
}

CDlgPinProps::CDlgPinProps(const PinPropsFields& f, IMessageBox& msg, QWidget* parent)
    : CPropsDialog(QStringLiteral("Func Block Pin Properties"), msg, parent) {
    auto* grid = new QGridLayout;
    AddEdit(grid, 0, 0, 1069, QStringLiteral("Function Type"), Q(f.functionType), false);
    AddEdit(grid, 1, 0, 1070, QStringLiteral("Func Block ID"), Q(f.ident), false);
    AddEdit(grid, 2, 0, 1071, QStringLiteral("Refnum"), Num(f.refnum), false);
    AddEdit(grid, 3, 0, 1072, QStringLiteral("Pin no."), Num(f.pinNumber), false);
    AddEdit(grid, 4, 0, 1073, QStringLiteral("In/Out"), Q(f.inOut), false);
    AddEdit(grid, 5, 0, 1074, QStringLiteral("Pin Type"), Q(f.pinType), false);
    AddEdit(grid, 6, 0, 1075, QStringLiteral("Pin Name"), Q(f.pinName), false);
    Finish(grid);
}

CDlgWSProps::CDlgWSProps(WSPropsFields& f, IMessageBox& msg, QWidget* parent)
    : CPropsDialog(QStringLiteral("Wire Segment Properties"), msg, parent) {
    auto* grid = new QGridLayout;
    QLineEdit* sx =
        AddEdit(grid, 0, 0, 1078, QStringLiteral("x - START - y"), Num(f.start.x), true);
    QLineEdit* sy = AddEdit(grid, 0, 2, 1079, QString(), Num(f.start.y), true);
    AddEdit(grid, 0, 4, 1080, QStringLiteral("State"), Q(f.startState), false);
    QLineEdit* ex = AddEdit(grid, 1, 0, 1082, QStringLiteral("x - FINISH - y"), Num(f.end.x), true);
    QLineEdit* ey = AddEdit(grid, 1, 2, 1083, QString(), Num(f.end.y), true);
    AddEdit(grid, 1, 4, 1084, QStringLiteral("State"), Q(f.finishState), false);
    AddEdit(grid, 2, 0, 1088, QStringLiteral("From Source"), Num(f.fromSource), false);
    AddEdit(grid, 2, 4, 1085, QStringLiteral("Refnum"), Num(f.refnum), false);
    QLineEdit* name = AddEdit(grid, 3, 0, 1086, QStringLiteral("Signal Name"), Q(f.name), true);
    name->setMaxLength(WSPropsFields::kMaxName);
    auto* show = new QCheckBox(QStringLiteral("Show signal name"), this);
    show->setObjectName(QStringLiteral("1087"));
    show->setChecked(f.showName);
    grid->addWidget(show, 3, 4, 1, 2);
    AddEdit(grid, 4, 0, 1089, QStringLiteral("Error"), Q(f.error), false);
    AddNumber(sx, &f.start.x, false);
    AddNumber(sy, &f.start.y, false);
    AddNumber(ex, &f.end.x, false);
    AddNumber(ey, &f.end.y, false);
    collect_ = [&f, name, show] {
        f.name = Utf8Left(name->text().toStdString(), WSPropsFields::kMaxName);
        f.showName = show->isChecked();
    };
    Finish(grid);
}

CDlgTxtProps::CDlgTxtProps(TextPropsFields& f, IMessageBox& msg, QWidget* parent)
    : CPropsDialog(QStringLiteral("Text Properties"), msg, parent) {
    auto* grid = new QGridLayout;
    QLineEdit* text = AddEdit(grid, 0, 0, 1061, QStringLiteral("Text"), Q(f.text), true);
    text->setMaxLength(TextPropsFields::kMaxText);
    text->setMinimumWidth(320);
    QLineEdit* size = AddEdit(grid, 1, 0, 1062, QStringLiteral("Size"), Num(f.size), true);
    AddNumber(size, &f.size, true, true, TextPropsFields::kMinSize, TextPropsFields::kMaxSize);
    collect_ = [&f, text] {
        f.text = Utf8Left(text->text().toStdString(), TextPropsFields::kMaxText);
    };
    Finish(grid);
}

CDlgLineProps::CDlgLineProps(LinePropsFields& f, IMessageBox& msg, QWidget* parent)
    : CPropsDialog(QStringLiteral("Decorative Line Properties"), msg, parent) {
    auto* grid = new QGridLayout;
    AddNumber(AddEdit(grid, 0, 0, 1063, QStringLiteral("x - Start - y"), Num(f.start.x), true),
              &f.start.x, true);
    AddNumber(AddEdit(grid, 0, 2, 1064, QString(), Num(f.start.y), true), &f.start.y, true);
    AddNumber(AddEdit(grid, 1, 0, 1065, QStringLiteral("x -  End  - y"), Num(f.end.x), true),
              &f.end.x, true);
    AddNumber(AddEdit(grid, 1, 2, 1066, QString(), Num(f.end.y), true), &f.end.y, true);
    AddNumber(AddEdit(grid, 2, 0, 1067, QStringLiteral("Width"), Num(f.width), true), &f.width,
              true);
    Finish(grid);
}

}  // namespace ostra
