#pragma once

#include <memory>
#include <optional>
#include <type_traits>

#include "settings/windows_api.h"

#include "ui/framework/dialog.h"
#include "ui/win32/win32_system_menu.h"

namespace dlg::win32 {

// A dialog of the platform's dialog manager, made from the template of the same number in the
// program's resources. The dialog procedure hands the messages the dialog layer handles to
// CDialog::WindowProc; whatever the layer leaves to default processing goes back to the dialog
// manager, which so provides Enter, Escape, the close box, tabbing and painting.
class Win32DialogHost final : public DialogHost {
  public:
    Win32DialogHost(CDialog& dialog, const res::DialogTemplate& layout);

    int RunModal() override;
    void EndDialog(int result) override;
    std::string GetItemText(int id) const override;
    void SetItemText(int id, std::string_view text) override;
    bool IsItemChecked(int id) const override;
    void SetItemChecked(int id, bool checked) override;
    void EnableItem(int id, bool enabled) override;
    void FocusItem(int id) override;
    void ShowMessage(std::string_view text) override;
    CMenu* GetSystemMenu() override;
    void SetIcon(HIcon icon, bool big) override;
    bool IsIconic() const override;
    Rect GetClientRect() const override;
    LResult SendMessageToWindow(unsigned message, WParam wParam, LParam lParam) override;
    LResult DefaultProcessing(unsigned message, WParam wParam, LParam lParam) override;
    WParam BeginPaint() override;
    void DrawIcon(int x, int y, HIcon icon) override;
    void EndPaint() override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR InitDialog(HWND window);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Item(int id) const;

    struct IconDestroyer {
        void operator()(HICON icon) const { ::DestroyIcon(icon); }
    };

    CDialog& m_dialog;
    const res::DialogTemplate& m_layout;
    HWND m_window = nullptr;
    std::optional<Win32SystemMenu> m_systemMenu;
    // The small image of the window's icon, taken from the icon's resource, owned by the window.
    std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer> m_smallIcon;
    PAINTSTRUCT m_paint{};
    HDC m_paintDc = nullptr;
    bool m_defaultWanted = false;  // the message being handled goes on to the dialog manager
};

}  // namespace dlg::win32
