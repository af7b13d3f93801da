#include "ui/qt/fixed_size.h"

#include <QDialog>
#include <QEvent>
#include <QResizeEvent>
#include <QWindow>

namespace dlg::qt {
namespace {

// When a maximised or full-screen state is asked for, the window is let free to take that
// size; once in it, it asks to be normal again, and back at its own size it is fixed there
// again. Its own size is the one it is fixed at when let free: a title bar of ours, added once
// the window is shown, grows it.
class FixedSizeKeeper final : public QObject {
  public:
    FixedSizeKeeper(QDialog& window, QSize size)
        : QObject(&window), m_window(window), m_size(size) {
        window.setFixedSize(size);
        window.winId();  // the platform window, whose state requests are followed from here on
        QObject::connect(window.windowHandle(), &QWindow::windowStateChanged, this,
                         [this](Qt::WindowState state) {
                             if ((state == Qt::WindowMaximized || state == Qt::WindowFullScreen) &&
                                 m_window.minimumSize() == m_window.maximumSize()) {
                                 m_size = m_window.minimumSize();
                                 m_window.setMinimumSize(0, 0);
                                 m_window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                             }
                         });
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_window) {
            return false;
        }
        if (event->type() == QEvent::WindowStateChange &&
            (m_window.isMaximized() || m_window.isFullScreen())) {
            QMetaObject::invokeMethod(&m_window, "showNormal", Qt::QueuedConnection);
        } else if (event->type() == QEvent::Resize &&
                   static_cast<QResizeEvent*>(event)->size() == m_size &&
                   m_window.minimumSize() != m_size) {
            m_window.setFixedSize(m_size);
        }
        return false;
    }

  private:
    QDialog& m_window;
    QSize m_size;
};

}  // namespace

void KeepFixedSize(QDialog& window, QSize size) {
    new FixedSizeKeeper(window, size);  // owned by the window
}

}  // namespace dlg::qt
