#pragma once

#include <QDialog>

namespace dlg::qt {

class QtDialogHost;

// The dialog's window: every event of interest goes to the host, which turns it into the window
// message the platform's dialog manager would send.
class DialogWindow final : public QDialog {
  public:
    DialogWindow(QtDialogHost& host, QWidget* opener);

    void PaintAsUsual(QPaintEvent* event) { QDialog::paintEvent(event); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    // The arrow keys on the radio buttons, which have the window as their event filter.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QtDialogHost& m_host;
};

}  // namespace dlg::qt
