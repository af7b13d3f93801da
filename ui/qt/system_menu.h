#pragma once

#include <functional>

#include <QMenu>

#include "ui/framework/dialog_host.h"

class QPoint;
class QWidget;

namespace dlg::qt {

// The system menu: Windows keeps it in the title bar, where on Linux the window manager has its
// own; ours opens with a right click on the dialog or Shift+F10 (or Alt+Space). It starts with
// Close; a chosen item is sent to the dialog as a system command.
class QtSystemMenu final : public CMenu {
  public:
    using Send = std::function<void(unsigned command)>;

    QtSystemMenu(QWidget& owner, Send send);
    QtSystemMenu(const QtSystemMenu&) = delete;
    QtSystemMenu& operator=(const QtSystemMenu&) = delete;

    void AppendSeparator() override;
    void AppendItem(unsigned command, std::string_view text) override;
    void Popup(const QPoint& where);

  private:
    QMenu* m_menu;
    Send m_send;
};

}  // namespace dlg::qt
