// What only the USER32 backend has: the window's icons, and an owner that takes no input while
// its dialog is up.
#include <gtest/gtest.h>

#include "settings/windows_api.h"

#include "res/resource_ids.h"

#include "ui/profit_calc_dlg.h"

#include "gui/window_driver.h"

namespace gui {
namespace {

HWND Handle(Window dialog) {
    return static_cast<HWND>(const_cast<void*>(dialog));
}

TEST(Win32Calculator, ShowsItsIconAndIsDisabledUnderTheFeeRates) {
    CProfitCalcDlg calculator;
    RunDriven(calculator, [](Window dialog) {
        const auto icon = reinterpret_cast<LRESULT>(
            ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(res::IDR_MAINFRAME)));
        EXPECT_EQ(::SendMessageW(Handle(dialog), WM_GETICON, ICON_BIG, 0), icon);
        EXPECT_EQ(::SendMessageW(Handle(dialog), WM_GETICON, ICON_SMALL, 0), icon);
        EXPECT_EQ(::SendMessageW(Handle(dialog), WM_QUERYDRAGICON, 0, 0), icon);
        ClickLater(dialog, res::IDC_SETTINGS);
        ASSERT_NE(WaitForDialog(dialog), nullptr);
        EXPECT_FALSE(::IsWindowEnabled(Handle(dialog)));
    });
}

}  // namespace
}  // namespace gui
