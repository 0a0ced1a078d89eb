// "Function Block Library": the library's headings and blocks as a tree, the
// selected entry's description, and the block drawn at scale 10. Beyond the
// tree: a filter box (Return chooses the first match), a double click
// chooses, and the dialog opens on the block type chosen last.
#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace ostra {

class CFuncLibrary;

class CDlgFBLib : public QDialog {
    Q_OBJECT
  public:
    CDlgFBLib(CFuncLibrary& library, QWidget* parent = nullptr);
    // Rebuilds the tree from the library; called each time before showing,
    // with the block type to bring forward (none: the first entry).
    void Rebuild(const QString& current = {});
    // Shows only the blocks whose name or description holds `text`.
    void Filter(const QString& text);
    QLineEdit* FilterBox() const { return filter_; }
    void Select(QTreeWidgetItem* item);
    QTreeWidget* Tree() const { return tree_; }
    QString Description() const;

  private:
    class Picture;
    // The first block shown, or none.
    QTreeWidgetItem* FirstShownBlock() const;

    CFuncLibrary& lib_;
    QLineEdit* filter_;
    QTreeWidget* tree_;
    Picture* picture_;
    QPlainTextEdit* description_;
};

}  // namespace ostra
