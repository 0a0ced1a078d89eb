// "Windows": the open sheets in a list, to bring one forward or to close
// several at once (each with the usual save prompt).
#pragma once

#include <QDialog>

class QListWidget;

namespace ostra {

class CMainFrame;

class CDlgWindows : public QDialog {
    Q_OBJECT
  public:
    explicit CDlgWindows(CMainFrame& frame);
    QListWidget* List() const { return list_; }
    // Brings the current row's sheet forward and closes the dialog.
    void Activate();
    // Closes the selected sheets; a sheet kept at its save prompt stays listed.
    void CloseSelected();

  private:
    void Fill();

    CMainFrame& frame_;
    QListWidget* list_;
};

}  // namespace ostra
