// "Customize": which commands the Standard toolbar shows.
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QAction;
class QListWidget;

namespace ostra {

class CDlgCustomize : public QDialog {
    Q_OBJECT
  public:
    // `actions`: every command the toolbar can show, by its button caption.
    CDlgCustomize(const QList<QAction*>& actions, const QStringList& hidden,
                  QWidget* parent = nullptr);
    // The captions left unticked.
    QStringList Hidden() const;
    QListWidget* List() const { return list_; }

  private:
    QListWidget* list_;
};

}  // namespace ostra
