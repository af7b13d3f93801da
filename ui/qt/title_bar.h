#pragma once

class QWidget;

namespace dlg::qt {

// Where Qt 6.4 draws a window's title bar itself (on a Wayland compositor that leaves title bars
// to programs), it offers minimise and maximise on every window, fixed-size dialogs and message
// boxes included. There, and only there, the window is made frameless once Qt has decided, before
// it is painted, and wears a title bar of ours, offering what a dialog's template does (its icon,
// its caption and the close box), and a one-pixel border; the window grows around its contents,
// which keep their size. Elsewhere nothing changes. Called before the window is shown and after
// its font is set.
void AddTitleBarWhereNeeded(QWidget& window);

}  // namespace dlg::qt
