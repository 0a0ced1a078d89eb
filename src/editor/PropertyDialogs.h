// The object property dialogs. Each edits the core's field record; every
// control carries its numeric id as object name. Whole-number fields are
// checked on OK with the standard refusal, and the dialog stays open until
// they are right.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "model/EditDialogs.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;

namespace ostra {

class IMessageBox;

class CPropsDialog : public QDialog {
    Q_OBJECT
  public:
    // The control with numeric id `id`, or none.
    QLineEdit* Edit(int id) const;
    QCheckBox* Check(int id) const;

    void accept() override;

  protected:
    CPropsDialog(const QString& title, IMessageBox& msg, QWidget* parent);
    // A labelled edit in `grid` at `row`; `col` 0 or 2 for two per row.
    QLineEdit* AddEdit(QGridLayout* grid, int row, int col, int id, const QString& label,
                       const QString& value, bool editable);
    // A whole-number field: checked on OK, in [low, high] when `ranged`.
    void AddNumber(QLineEdit* edit, int32_t* out, bool digitsOnly, bool ranged = false,
                   int32_t low = 0, int32_t high = 0);
    // Finishes the layout with `body` above OK and Cancel.
    void Finish(QLayout* body);
    // Takes the non-numeric fields once every number is valid.
    std::function<void()> collect_;

  private:
    struct Number {
        QLineEdit* edit;
        int32_t* out;
        bool ranged;
        int32_t low, high;
    };
    IMessageBox& msg_;
    std::vector<Number> numbers_;
};

// "Function Block Properties", or "Terminal Properties" with its five value
// rows when the block has value pins.
class CDlgFBProps : public CPropsDialog {
    Q_OBJECT
  public:
    CDlgFBProps(FBPropsFields& fields, IMessageBox& msg, QWidget* parent = nullptr);

  private:
    FBPropsFields& f_;
};

class CDlgTermProps : public CDlgFBProps {
    Q_OBJECT
  public:
    using CDlgFBProps::CDlgFBProps;
};

class CDlgPinProps : public CPropsDialog {
    Q_OBJECT
  public:
    CDlgPinProps(const PinPropsFields& fields, IMessageBox& msg, QWidget* parent = nullptr);
};

class CDlgWSProps : public CPropsDialog {
    Q_OBJECT
  public:
    CDlgWSProps(WSPropsFields& fields, IMessageBox& msg, QWidget* parent = nullptr);
};

class CDlgTxtProps : public CPropsDialog {
    Q_OBJECT
  public:
    CDlgTxtProps(TextPropsFields& fields, IMessageBox& msg, QWidget* parent = nullptr);
};

class CDlgLineProps : public CPropsDialog {
    Q_OBJECT
  public:
    CDlgLineProps(LinePropsFields& fields, IMessageBox& msg, QWidget* parent = nullptr);
};

}  // namespace ostra
