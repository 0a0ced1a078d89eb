// "Select Processor": the libraries of the program folder, by processor name.
#pragma once

#include <QDialog>
#include <filesystem>

class QListWidget;

namespace ostra {

class CDlgSelProc : public QDialog {
    Q_OBJECT
  public:
    CDlgSelProc(const std::filesystem::path& programFolder, QWidget* parent = nullptr);
    // The selected name when the dialog closed (empty when none was selected).
    QString Chosen() const { return chosen_; }
    QListWidget* List() const { return list_; }

    void done(int result) override;

  private:
    QListWidget* list_;
    QString chosen_;
};

}  // namespace ostra
