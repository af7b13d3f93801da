#pragma once

class QWidget;

namespace dlg::qt {

// Where a Wayland compositor leaves title bars to the program, Qt 6.4 draws its own, with
// minimise and maximise on every window, fixed-size dialogs and message boxes included. There,
// and only there, this makes the window frameless and gives it a title bar of ours, offering what
// a dialog's template does (its icon, its caption and the close box), and a one-pixel border; its
// contents (its contentsRect()) keep their size below the bar. Elsewhere it does nothing. Called
// before the window is shown and after its font is set.
void AddTitleBarWhereNeeded(QWidget& window);

}  // namespace dlg::qt
