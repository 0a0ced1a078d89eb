// Controller command dialogs.
#include "editor/ControllerDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "editor/GuiPorts.h"
#include "editor/ReadOnlyLook.h"
#include "model/EditDialogs.h"
#include "platform/Scan.h"

namespace ostra {

namespace {

const QString kSimulatorText = QStringLiteral("Built-in simulated controller");

QSpinBox* Spin(QWidget* parent, int low, int high) {
    auto* s = new QSpinBox(parent);
    s->setRange(low, high);
    return s;
}

QLineEdit* ReadOnly(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    SetReadOnlyLook(e, true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

}  // namespace

// --- Comm Port ---

CDlgCommport::CDlgCommport(CGuiPorts& ports, IMessageBox& msg, QWidget* parent)
    : QDialog(parent),
      ports_(ports),
      msg_(msg),
      port_(Spin(this, 1, 64)),
      device_(new QComboBox(this)),
      echo_(new QCheckBox(QStringLiteral("Check if\nRS-485\necho"), this)),
      box_(Spin(this, 0, 9)),
      slot_(Spin(this, 0, 16)) {
    setWindowTitle(QStringLiteral("Setup Communications with PLC"));
    device_->setEditable(true);
    device_->setMinimumWidth(260);
    device_->setToolTip(QStringLiteral("The serial port this COM number stands for"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("COM\nport"), this), 0, 0);
    grid->addWidget(port_, 0, 1);
    grid->addWidget(device_, 0, 2, 1, 3);
    grid->addWidget(echo_, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("boX\nAddress"), this), 2, 0);
    grid->addWidget(box_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Slot\nAddress"), this), 2, 2);
    grid->addWidget(slot_, 2, 3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addWidget(buttons);
    connect(port_, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int n) { ShowDeviceOf(n); });
}

void CDlgCommport::ShowDeviceOf(int portNumber) {
    device_->clear();
    device_->addItem(kSimulatorText, QString::fromUtf8(CGuiPorts::kSimulator));
    const std::string system = CGuiPorts::SystemDevice(portNumber);
    std::vector<std::string> devices = CGuiPorts::AvailableDevices();
    if (std::find(devices.begin(), devices.end(), system) == devices.end())
        devices.insert(devices.begin(), system);
    for (const std::string& d : devices)
        device_->addItem(QString::fromStdString(d), QString::fromStdString(d));
    const std::string now = ports_.DeviceFor(portNumber);
    int index = device_->findData(QString::fromStdString(now));
    if (index < 0) {
        device_->addItem(QString::fromStdString(now), QString::fromStdString(now));
        index = device_->count() - 1;
    }
    device_->setCurrentIndex(index);
    device_->setEnabled(!ports_.AllSimulated());
}

namespace {

struct FieldRange {
    int low, high;
};
constexpr FieldRange kPortRange{1, 64}, kBoxRange{0, 9}, kSlotRange{0, 16};

}  // namespace

void CDlgCommport::SetStored(QSpinBox* field, int value, int low, int high) {
    field->setRange(std::min(low, value), std::max(high, value));
    field->setValue(value);
}

void CDlgCommport::Load(int portNumber, bool echo, int32_t box, int32_t slot) {
    SetStored(port_, portNumber, kPortRange.low, kPortRange.high);
    ShowDeviceOf(port_->value());
    echo_->setChecked(echo);
    SetStored(box_, box, kBoxRange.low, kBoxRange.high);
    SetStored(slot_, slot, kSlotRange.low, kSlotRange.high);
}

void CDlgCommport::accept() {
    const std::pair<QSpinBox*, FieldRange> fields[] = {
        {port_, kPortRange}, {box_, kBoxRange}, {slot_, kSlotRange}};
    for (const auto& [field, range] : fields) {
        if (field->value() >= range.low && field->value() <= range.high) continue;
        msg_.Show(RangeMessage(range.low, range.high), "Ostra_PLC", MsgIcon::Exclamation,
                  MsgButtons::Ok);
        field->setFocus();
        field->selectAll();
        return;
    }
    // In range again: the arrows keep to it from now on.
    for (const auto& [field, range] : fields) field->setRange(range.low, range.high);
    QDialog::accept();
}

std::string CDlgCommport::ChosenDevice() const {
    const QString text = device_->currentText();
    if (text == kSimulatorText) return CGuiPorts::kSimulator;
    return text.trimmed().toStdString();
}

bool CDlgCommport::Show(int& portNumber, bool& echo, int32_t& box, int32_t& slot) {
    Load(portNumber, echo, box, slot);
    if (exec() != QDialog::Accepted) return false;
    portNumber = port_->value();
    echo = echo_->isChecked();
    box = box_->value();
    slot = slot_->value();
    const std::string device = ChosenDevice();
    if (!ports_.AllSimulated() && !device.empty() && device != ports_.DeviceFor(portNumber))
        ports_.SetDevice(portNumber, device);
    return true;
}

// --- progress ---

CDlgProgress::CDlgProgress(QWidget* parent)
    : QDialog(parent), operation_(ReadOnly(this)), bar_(new QProgressBar(this)) {
    setWindowTitle(QStringLiteral("Connection Progress"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Operation"), this), 0, 0);
    grid->addWidget(operation_, 0, 1);
    grid->addWidget(bar_, 1, 0, 1, 2);
    setMinimumWidth(360);
}

void CDlgProgress::Note() {
    history << QStringLiteral("%1 %2/%3")
                   .arg(operation_->text())
                   .arg(bar_->value())
                   .arg(bar_->maximum());
    if (history.size() > 500) history.removeFirst();
    // The operation holds the thread: paint now, not at the next event loop.
    repaint();
}

void CDlgProgress::Begin(const std::string& operation, int range) {
    operation_->setText(QString::fromStdString(operation));
    bar_->setRange(0, range > 0 ? range : 1);
    bar_->setValue(0);
    if (!isVisible()) {
        show();
        // The operation holds the thread from here: let the window system map
        // the dialog now, so that the repaints of each step reach the screen.
        // Only window-system and posted events run; the user's input waits.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    Note();
}

void CDlgProgress::Step() {
    if (bar_->value() < bar_->maximum()) bar_->setValue(bar_->value() + 1);
    Note();
}

void CDlgProgress::End() {
    hide();
}

QString CDlgProgress::Operation() const {
    return operation_->text();
}
int CDlgProgress::Value() const {
    return bar_->value();
}
int CDlgProgress::Maximum() const {
    return bar_->maximum();
}

// --- statistics ---

CDlgProcStat::CDlgProcStat(COxComm& link, const std::string& connectedProc, QWidget* parent)
    : QDialog(parent), link_(link), proc_(connectedProc) {
    setWindowTitle(QStringLiteral("PLC Statistics"));
    // A heading over each column; group box titles hold one line only.
    auto group = [this](const QString& heading, const QStringList& labels) {
        auto* column = new QWidget(this);
        auto* v = new QVBoxLayout(column);
        v->setContentsMargins(0, 0, 0, 0);
        auto* title = new QLabel(heading, column);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        v->addWidget(title);
        auto* box = new QGroupBox(column);
        v->addWidget(box, 1);
        auto* grid = new QGridLayout(box);
        for (int i = 0; i < labels.size(); ++i) {
            auto* field = ReadOnly(box);
            field->setMinimumWidth(120);
            QString label = labels[i];
            grid->addWidget(new QLabel(label, box), i, 0);
            grid->addWidget(field, i, 1);
            if (label.startsWith(QStringLiteral("Control Diagram")))
                grid->addWidget(new QLabel(QStringLiteral("%"), box), i, 2);
            fields_.push_back({label, field});
        }
        return column;
    };
    QWidget* proc =
        group(QStringLiteral("PROCESSOR"),
              {QStringLiteral("Processor Type"), QStringLiteral("Serial No."),
               QStringLiteral("Firmware"), QStringLiteral("Control Diagram\nTime Used")});
    QWidget* bus = group(QStringLiteral("BACKPLANE\nTRANSACTIONS"),
                         {QStringLiteral("Total Transactions"),
                          QStringLiteral("Total Trans. Errors"), QStringLiteral("No Responses"),
                          QStringLiteral("Timeouts"), QStringLiteral("Sentinel Errors"),
                          QStringLiteral("Format Errors"), QStringLiteral("Checkword Errors")});
    auto* refresh = new QPushButton(QStringLiteral("Refresh"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->addButton(refresh, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(refresh, &QPushButton::clicked, this, &CDlgProcStat::Refresh);
    auto* columns = new QHBoxLayout;
    columns->addWidget(proc);
    columns->addWidget(bus);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(columns);
    outer->addWidget(buttons);
}

void CDlgProcStat::Show() {
    const std::string* values[] = {
        &texts_.processorType,     &texts_.serialNo,     &texts_.firmware,       &texts_.timeUsed,
        &texts_.totalTransactions, &texts_.totalErrors,  &texts_.noResponses,    &texts_.timeouts,
        &texts_.sentinelErrors,    &texts_.formatErrors, &texts_.checkwordErrors};
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fields_[i].second->setText(QString::fromStdString(*values[i]));
}

void CDlgProcStat::ReadAll() {
    ReadProcInfo(link_, proc_, texts_);
    ReadBackplaneStats(link_, texts_);
    Show();
}

void CDlgProcStat::Refresh() {
    ReadBackplaneStats(link_, texts_);
    Show();
}

QString CDlgProcStat::Field(const QString& label) const {
    for (const auto& f : fields_)
        if (f.first == label) return f.second->text();
    return {};
}

// --- K-factors ---

bool CDlgKFEdit::askBeforeUpdate_ = true;

CDlgKFEdit::CDlgKFEdit(CKFactorTable& table, COxComm& link, IMessageBox& msg, int32_t maxKFacts,
                       QWidget* parent)
    : QDialog(parent),
      table_(table),
      link_(link),
      msg_(msg),
      askFirst_(new QCheckBox(QStringLiteral("Ask before\nstopping"), this)),
      maxKFacts_(maxKFacts),
      changed_(new QCheckBox(QStringLiteral("Values\nChanged"), this)) {
    setWindowTitle(QStringLiteral("Edit K-Factors"));
    auto* grid = new QGridLayout;
    const char* const headings[] = {"Addr.",   "Factor Name", "Min Val",
                                    "Max Val", "StartVal",    "Actual"};
    for (int c = 0; c < 6; ++c)
        grid->addWidget(new QLabel(QString::fromUtf8(headings[c]), this), 0, c);
    for (int r = 0; r < CKFactorTable::kRows; ++r) {
        for (int c = 0; c < 6; ++c) {
            QLineEdit* e = c == 5 ? new QLineEdit(this) : ReadOnly(this);
            e->setObjectName(QStringLiteral("r%1c%2").arg(r).arg(c));
            e->setMinimumWidth(c == 1 ? 140 : 70);
            grid->addWidget(e, r + 1, c);
            cells_[r][c] = e;
        }
        // The edit counts when the field is left, as the table's rule asks.
        connect(cells_[r][5], &QLineEdit::editingFinished, this, [this, r] { RowEdited(r); });
    }
    changed_->setToolTip(QStringLiteral("X = Changed"));
    changed_->setAttribute(Qt::WA_TransparentForMouseEvents);
    changed_->setFocusPolicy(Qt::NoFocus);

    auto button = [this](const char* text, auto fn) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, fn);
        return b;
    };
    auto* side = new QVBoxLayout;
    side->addWidget(button("Up", [this] {
        table_.Up();
        ShowRows();
    }));
    side->addWidget(button("Down", [this] {
        table_.Down();
        ShowRows();
    }));
    side->addSpacing(12);
    side->addWidget(button("Refresh\nfrom PLC", [this] {
        table_.RefreshFromPLC(link_, maxKFacts_);
        ShowRows();
    }));
    side->addWidget(button("Update\nto PLC", [this] { UpdateToPLC(); }));
    askFirst_->setChecked(askBeforeUpdate_);
    askFirst_->setToolTip(QStringLiteral("Ask before Update to PLC stops the controller"));
    connect(askFirst_, &QCheckBox::toggled, this, [](bool on) { askBeforeUpdate_ = on; });
    side->addWidget(askFirst_);
    side->addWidget(button("Load StartVals\n into Actuals", [this] {
        table_.LoadStartVals();
        ShowRows();
    }));
    side->addWidget(changed_);
    side->addStretch();
    quit_ = button("Quit without\nUpdating PLC", [this] { reject(); });
    side->addWidget(quit_);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(side);
}

QPushButton* CDlgKFEdit::Button(const QString& text) const {
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

void CDlgKFEdit::Start() {
    table_.RefreshFromPLC(link_, maxKFacts_);
    ShowRows();
}

void CDlgKFEdit::ShowRows() {
    const auto rows = table_.ShowRows();
    for (int r = 0; r < CKFactorTable::kRows; ++r)
        for (int c = 0; c < 6; ++c) {
            QLineEdit* e = cells_[r][c];
            const QSignalBlocker quiet(e);
            e->setText(QString::fromStdString(rows[r][c]));
            // Rows without a record cannot be edited.
            if (c == 5) SetReadOnlyLook(e, rows[r][0].empty() && rows[r][1].empty());
        }
    for (int r = 0; r < CKFactorTable::kRows; ++r) MarkActual(r);
    changed_->setChecked(table_.changed);
}

void CDlgKFEdit::RowEdited(int row) {
    QLineEdit* e = cells_[row][5];
    if (e->isReadOnly()) return;
    double v = 0;
    if (!ParseWholeDouble(e->text().toStdString(), v)) {
        // Not taken: the field stays open for a number.
        MarkActual(row);
        QTimer::singleShot(0, e, [e] {
            e->setFocus();
            e->selectAll();
        });
        return;
    }
    table_.EditActual(row, e->text().toStdString());
    MarkActual(row);
    changed_->setChecked(table_.changed);
}

QString CDlgKFEdit::ActualProblem(int row) const {
    // The range is shown, not enforced.
    const QLineEdit* e = cells_[row][5];
    const int i = table_.topRow + row;
    if (e->isReadOnly() || i < 0 || i >= table_.count) return {};
    const ts_kfrec& k = table_.records[static_cast<std::size_t>(i)];
    double v = 0;
    if (!ParseWholeDouble(e->text().toStdString(), v))
        return QStringLiteral("Not a number: enter a value from %1 to %2").arg(k.minimum).arg(k.maximum);
    if (v < k.minimum || v > k.maximum)
        return QStringLiteral("Outside the range %1 .. %2 (allowed, not enforced)")
            .arg(k.minimum)
            .arg(k.maximum);
    return {};
}

void CDlgKFEdit::MarkActual(int row) {
    QLineEdit* e = cells_[row][5];
    const QString why = ActualProblem(row);
    e->setToolTip(why);
    e->setStyleSheet(why.isEmpty() ? QString() : QStringLiteral("background-color: #FFD8C8"));
}

void CDlgKFEdit::UpdateToPLC() {
    if (askBeforeUpdate_ &&
        msg_.Show("Updating the K-factors requires that the\nCONTROLLER WILL BE STOPPED !!\n"
                  "Are you sure that it is safe to do this?",
                  {}, MsgIcon::Question, MsgButtons::OkCancel) != MsgResult::Ok)
        return;
    if (table_.UpdateToPLC(link_)) {
        // Nothing is left to lose by leaving.
        quit_->setText(QStringLiteral("Close"));
    }
    ShowRows();
}

}  // namespace ostra
