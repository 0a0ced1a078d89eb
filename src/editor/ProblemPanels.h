// The Problems and Cross References docking windows. They show rows the core
// makes from the last wire checks and compile; activating a row (double-click
// or Return) asks the main frame to bring its object into view.
#pragma once

#include <QDockWidget>
#include <functional>
#include <vector>

#include "project/Problems.h"

class QComboBox;
class QLineEdit;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ostra {

class ISettings;

class CProblemsPanel : public QDockWidget {
    Q_OBJECT
  public:
    explicit CProblemsPanel(QWidget* parent);
    void SetRows(std::vector<Problem> rows);
    const std::vector<Problem>& Rows() const { return rows_; }
    QTreeWidget* Tree() const { return tree_; }
    QComboBox* SheetFilter() const { return sheetFilter_; }
    QComboBox* SeverityFilter() const { return severityFilter_; }
    // The rows shown (or those selected) as "sheet:x,y: severity: text" lines.
    QString RowsAsText(bool selectedOnly) const;

    // Which warnings are made; stored under "Problems" in the settings.
    WarningSwitches Warnings() const { return warnings_; }
    void LoadWarnings(ISettings* settings);

    std::function<void(const SheetPlace&)> onActivate;
    std::function<void()> onWarningsChanged;

  private:
    void ApplyFilter();
    void Activate(QTreeWidgetItem* item);

    std::vector<Problem> rows_;
    WarningSwitches warnings_;
    ISettings* settings_ = nullptr;
    QTreeWidget* tree_;
    QComboBox* sheetFilter_;
    QComboBox* severityFilter_;
    QToolButton* warningsButton_;
};

class CXrefPanel : public QDockWidget {
    Q_OBJECT
  public:
    explicit CXrefPanel(QWidget* parent);
    void SetUses(std::vector<XrefUse> uses);
    QTreeWidget* Tree() const { return tree_; }
    QLineEdit* Filter() const { return filter_; }

    std::function<void(const SheetPlace&)> onActivate;

  private:
    void ApplyFilter();

    std::vector<XrefUse> uses_;
    QLineEdit* filter_;
    QTreeWidget* tree_;
};

}  // namespace ostra
