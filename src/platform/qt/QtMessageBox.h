// Message boxes of the core shown as QMessageBox.
#pragma once

#include "platform/IMessageBox.h"

class QWidget;

namespace ostra {

class QtMessageBox : public IMessageBox {
  public:
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    MsgResult Show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override;

  private:
    QWidget* parent_;
};

}  // namespace ostra
