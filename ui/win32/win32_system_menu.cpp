#include "ui/win32/win32_system_menu.h"

#include <string>

#include "settings/wide_text.h"

namespace dlg::win32 {

void Win32SystemMenu::AppendSeparator() {
    ::AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
}

void Win32SystemMenu::AppendItem(unsigned command, std::string_view text) {
    const std::wstring wide = trellan::WindowTextToWide(text);
    ::AppendMenuW(m_menu, MF_STRING, command, wide.c_str());
}

}  // namespace dlg::win32
