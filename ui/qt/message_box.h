#pragma once

#include <string_view>

class QWidget;

namespace dlg::qt {

// A modal warning owned by the dialog, in its language, with one button.
void ShowDialogMessage(QWidget& owner, std::string_view text);

}  // namespace dlg::qt
