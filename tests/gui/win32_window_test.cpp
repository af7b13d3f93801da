// What only the USER32 backend has: the window's icons, and an owner that takes no input while
// its dialog is up.
#include <filesystem>
#include <gtest/gtest.h>
#include <string_view>

#include "settings/settings_location.h"
#include "settings/wide_text.h"
#include "settings/windows_api.h"

#include "res/app_icon.h"
#include "res/resource_ids.h"

#include "ui/profit_calc_dlg.h"

#include "gui/window_driver.h"
#include "support/temp_dir.h"

namespace gui {
namespace {

HWND Handle(Window dialog) {
    return static_cast<HWND>(const_cast<void*>(dialog));
}

int IconWidth(LRESULT icon) {
    ICONINFO info{};
    ::GetIconInfo(reinterpret_cast<HICON>(icon), &info);
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The icon resource has an image for each size the desktop asks for: the title bar takes the
// small one, not the large one shrunk.
TEST(Win32Calculator, ShowsItsIconAndIsDisabledUnderTheFeeRates) {
    const auto* group = static_cast<const BYTE*>(::LockResource(
        ::LoadResource(nullptr, ::FindResourceW(nullptr, MAKEINTRESOURCEW(res::IDR_MAINFRAME),
                                                MAKEINTRESOURCEW(14)))));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group[4], res::WINDOWS_ICON_SIZES.size());
    for (std::size_t i = 0; i < res::WINDOWS_ICON_SIZES.size(); ++i) {
        EXPECT_EQ(group[6 + 14 * i], res::WINDOWS_ICON_SIZES[i] & 0xFF);  // 256 is written 0
    }
    CProfitCalcDlg calculator;
    RunDriven(calculator, [](Window dialog) {
        const auto icon = reinterpret_cast<LRESULT>(
            ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(res::IDR_MAINFRAME)));
        EXPECT_EQ(::SendMessageW(Handle(dialog), WM_GETICON, ICON_BIG, 0), icon);
        EXPECT_EQ(IconWidth(::SendMessageW(Handle(dialog), WM_GETICON, ICON_SMALL, 0)),
                  ::GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(::SendMessageW(Handle(dialog), WM_QUERYDRAGICON, 0, 0), icon);
        ClickLater(dialog, res::IDC_SETTINGS);
        ASSERT_NE(WaitForDialog(dialog), nullptr);
        EXPECT_FALSE(::IsWindowEnabled(Handle(dialog)));
    });
}

// Whether text, in the control's font, fits its width less what precedes the text.
bool Fits(Window owner, int id, std::string_view text, int before = 0) {
    const HWND control = ::GetDlgItem(Handle(owner), id);
    const HDC dc = ::GetDC(control);
    const HGDIOBJ font =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring wide = trellan::WindowTextToWide(text);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    ::SelectObject(dc, font);
    ::ReleaseDC(control, dc);
    RECT client{};
    ::GetClientRect(control, &client);
    return size.cx <= client.right - before;
}

// The summary of either rules and the box's text fit their controls at the dialog font's size.
TEST(Win32Calculator, TextsFitTheirControls) {
    const std::filesystem::path file(trellan::FindSettingsLocation().savePath.data());
    support::WriteFile(file, "[SET]\r\nRULES=2023\r\n");
    CProfitCalcDlg calculator;
    RunDriven(calculator, [](Window dialog) {
        EXPECT_TRUE(Fits(dialog, res::IDC_RATE_SUMMARY, Text(dialog, res::IDC_RATE_SUMMARY)));
        EXPECT_TRUE(Fits(dialog, res::IDC_RATE_SUMMARY, "佣金1.50‰,花税1.00‰,过户费1.00‰"));
        ClickLater(dialog, res::IDC_SETTINGS);
        const Window rates = WaitForDialog(dialog);
        EXPECT_TRUE(Fits(rates, res::IDC_RULES_2023, Text(rates, res::IDC_RULES_2023),
                         ::GetSystemMetrics(SM_CXMENUCHECK) + 4));  // the box and its gap
    });
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace gui
