#pragma once

class QWidget;

namespace dlg::qt {

// Where a Wayland compositor leaves title bars to the program, Qt 6.4 draws its own, with
// minimise and maximise on every window, fixed-size dialogs and message boxes included. Such
// windows get a title bar of ours instead, offering what a dialog's template does: its icon, its
// caption and the close box.
bool NeedsOwnTitleBar();

// Makes the window frameless and gives it our title bar and a one-pixel border around it; its
// contents (its contentsRect()) keep their size below the bar. Called before the window is shown
// and after its font is set.
void AddTitleBar(QWidget& window);

}  // namespace dlg::qt
