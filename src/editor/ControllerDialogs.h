// The dialogs of the controller commands: "Setup Communications with PLC",
// "Connection Progress", "PLC Statistics" and "Edit K-Factors".
#pragma once

#include <QDialog>
#include <array>

#include "comm/CKFactorTable.h"
#include "comm/COxComm.h"
#include "comm/CProcStats.h"
#include "comm/CTargetOps.h"
#include "platform/IMessageBox.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace ostra {

class CGuiPorts;

// Shown by the link each time it opens the port. Cancel leaves the values as
// they were; OK also remembers the device chosen for the port number.
class CDlgCommport : public QDialog, public ICommPortDialog {
    Q_OBJECT
  public:
    CDlgCommport(CGuiPorts& ports, IMessageBox& msg, QWidget* parent = nullptr);
    bool Show(int& portNumber, bool& echo, int32_t& box, int32_t& slot) override;
    // A field outside its range is refused here with the range named, and
    // the dialog stays open.
    void accept() override;

    // Filled for the values given; for tests and for Show.
    void Load(int portNumber, bool echo, int32_t box, int32_t slot);
    QSpinBox* Port() const { return port_; }
    QComboBox* Device() const { return device_; }
    QCheckBox* Echo() const { return echo_; }
    QSpinBox* Box() const { return box_; }
    QSpinBox* Slot() const { return slot_; }
    // The device the dialog now names for the port.
    std::string ChosenDevice() const;

  private:
    void ShowDeviceOf(int portNumber);
    // Shows `value` as stored, even outside the field's range [low, high].
    static void SetStored(QSpinBox* field, int value, int low, int high);
    CGuiPorts& ports_;
    IMessageBox& msg_;
    QSpinBox* port_;
    QComboBox* device_;
    QCheckBox* echo_;
    QSpinBox* box_;
    QSpinBox* slot_;
};

// Modeless; repainted at once on every change, since the operation holds
// the user-interface thread.
class CDlgProgress : public QDialog, public IProgress {
    Q_OBJECT
  public:
    explicit CDlgProgress(QWidget* parent = nullptr);
    void Begin(const std::string& operation, int range) override;
    void Step() override;
    void End() override;
    QString Operation() const;
    int Value() const;
    int Maximum() const;
    // The latest Begin and Step calls, for tests: "<operation> <value>/<maximum>".
    QStringList history;

  private:
    void Note();
    QLineEdit* operation_;
    QProgressBar* bar_;
};

class CDlgProcStat : public QDialog {
    Q_OBJECT
  public:
    CDlgProcStat(COxComm& link, const std::string& connectedProc, QWidget* parent = nullptr);
    // Both reads, as the command does before showing the dialog.
    void ReadAll();
    void Refresh();
    // The field of a label, e.g. "Firmware".
    QString Field(const QString& label) const;

  private:
    void Show();
    COxComm& link_;
    std::string proc_;
    ProcStatsTexts texts_;
    std::vector<std::pair<QString, QLineEdit*>> fields_;
};

class CDlgKFEdit : public QDialog {
    Q_OBJECT
  public:
    CDlgKFEdit(CKFactorTable& table, COxComm& link, IMessageBox& msg, int32_t maxKFacts,
               QWidget* parent = nullptr);
    // What showing the dialog does first: refresh from the controller, show.
    void Start();
    void ShowRows();
    QLineEdit* Cell(int row, int column) const { return cells_[row][column]; }
    QCheckBox* Changed() const { return changed_; }
    QPushButton* Button(const QString& text) const;

    // The question before Update to PLC stops the controller; turned off, it
    // stays off for the rest of the session.
    QCheckBox* AskFirst() const { return askFirst_; }

  private:
    void RowEdited(int row);
    // The range or number problem of an Actual field, empty when none.
    QString ActualProblem(int row) const;
    void MarkActual(int row);
    void UpdateToPLC();
    CKFactorTable& table_;
    COxComm& link_;
    IMessageBox& msg_;
    QCheckBox* askFirst_;
    QPushButton* quit_ = nullptr;
    static bool askBeforeUpdate_;
    int32_t maxKFacts_;
    std::array<std::array<QLineEdit*, 6>, CKFactorTable::kRows> cells_{};
    QCheckBox* changed_;
};

}  // namespace ostra
