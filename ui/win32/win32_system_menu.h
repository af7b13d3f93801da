#pragma once

#include "settings/windows_api.h"

#include "ui/framework/dialog_host.h"

namespace dlg::win32 {

// The window's real system menu, as the dialog layer's menu.
class Win32SystemMenu final : public CMenu {
  public:
    explicit Win32SystemMenu(HMENU menu) : m_menu(menu) {}

    void AppendSeparator() override;
    void AppendItem(unsigned command, std::string_view text) override;

  private:
    HMENU m_menu;
};

}  // namespace dlg::win32
