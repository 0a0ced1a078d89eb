// Printing message boxes.
#include "cli/CliMessageBox.h"

namespace ostra::cli {

MsgResult CliMessageBox::Show(const std::string& text, const std::string& caption, MsgIcon,
                              MsgButtons buttons) {
    ++count_;
    if (caption.empty())
        out_ << text << "\n";
    else
        out_ << caption << ": " << text << "\n";
    out_.flush();
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgResult::Ok;
        case MsgButtons::OkCancel:
        case MsgButtons::OkCancelDefCancel:
            return yes_ ? MsgResult::Ok : MsgResult::Cancel;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return yes_ ? MsgResult::Yes : MsgResult::No;
        case MsgButtons::RetryCancel:
            return MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}

}  // namespace ostra::cli
