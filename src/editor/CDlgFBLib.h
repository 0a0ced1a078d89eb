// "Function Block Library": the library's headings and blocks as a tree, the
// selected entry's description, and the block drawn at scale 10.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace ostra {

class CFuncLibrary;

class CDlgFBLib : public QDialog {
    Q_OBJECT
  public:
    CDlgFBLib(CFuncLibrary& library, QWidget* parent = nullptr);
    // Rebuilds the tree from the library; called each time before showing.
    void Rebuild();
    void Select(QTreeWidgetItem* item);
    QTreeWidget* Tree() const { return tree_; }
    QString Description() const;

  private:
    class Picture;
    CFuncLibrary& lib_;
    QTreeWidget* tree_;
    Picture* picture_;
    QPlainTextEdit* description_;
};

}  // namespace ostra
