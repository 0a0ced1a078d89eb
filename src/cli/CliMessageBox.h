// Messages of the core on the command line: "<caption>: <text>" on standard
// output; questions are answered OK or Yes only when --yes was given.
#pragma once

#include <ostream>

#include "platform/IMessageBox.h"

namespace ostra::cli {

class CliMessageBox : public IMessageBox {
  public:
    CliMessageBox(std::ostream& out, bool yes) : out_(out), yes_(yes) {}
    MsgResult Show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override;
    int Count() const { return count_; }

  private:
    std::ostream& out_;
    bool yes_;
    int count_ = 0;
};

}  // namespace ostra::cli
