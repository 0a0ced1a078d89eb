// How the core speaks to the user: a modal message box with text, caption,
// icon and buttons. The GUI shows a QMessageBox, the CLI prints, tests record.
#pragma once

#include <string>

namespace ostra {

enum class MsgIcon { None, Exclamation, Question, Information, Stop };
// OkCancelDefCancel: OK and Cancel with Cancel as the default button, for
// questions whose careless Enter must not destroy anything.
enum class MsgButtons { Ok, OkCancel, OkCancelDefCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgResult { Ok, Cancel, Yes, No, Retry };

class IMessageBox {
  public:
    virtual ~IMessageBox() = default;
    virtual MsgResult Show(const std::string& text, const std::string& caption = {},
                           MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok) = 0;
};

}  // namespace ostra
