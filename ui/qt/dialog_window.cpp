#include "ui/qt/dialog_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>

#include "ui/qt/qt_dialog_host.h"

namespace dlg::qt {

// A dialog opened from another is transient for it, so the window manager or compositor keeps
// it over its opener (Wayland's xdg_toplevel parent, X11's WM_TRANSIENT_FOR).
DialogWindow::DialogWindow(QtDialogHost& host, QWidget* opener) : QDialog(opener), m_host(host) {}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Escape) {
        m_host.Command(RESULT_CANCEL);
    } else if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        m_host.Enter();
    } else {
        // Past QDialog on purpose: its own Enter and Escape handling is what is replaced above.
        QWidget::keyPressEvent(event);  // NOLINT(bugprone-parent-virtual-call)
    }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The close box asks; the dialog decides (as Cancel) whether and how it ends.
    event->ignore();
    m_host.Close();
}

void DialogWindow::paintEvent(QPaintEvent* event) {
    m_host.Paint(event);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_host.PopupSystemMenu(event->globalPos());
}

bool DialogWindow::focusNextPrevChild(bool next) {
    m_host.MoveToNextTabStop(next);
    return true;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button == nullptr || event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            return m_host.MoveWithinRadioGroup(button, -1);
        case Qt::Key_Down:
        case Qt::Key_Right:
            return m_host.MoveWithinRadioGroup(button, +1);
        default:
            return QDialog::eventFilter(watched, event);
    }
}

}  // namespace dlg::qt
