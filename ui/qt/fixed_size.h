#pragma once

class QDialog;
class QSize;

namespace dlg::qt {

// Fixes the window at size and keeps it there whatever state the desktop puts it in: a Wayland
// compositor requires a maximised or full-screen window to be exactly the size it gives, and
// ends the program otherwise; some make every window full-screen, whatever its size.
void KeepFixedSize(QDialog& window, QSize size);

}  // namespace dlg::qt
