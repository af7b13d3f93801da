// The calculator window and its dialogs on USER32, driven as a user drives them; the model is
// the Qt suite, tests/gui/calculator_window_test.cpp, whose table of calculations this shares.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

#include "core/fee_schedule.h"
#include "core/net_profit.h"
#include "core/number_text.h"

#include "res/resource_ids.h"
#include "res/version.h"

#include "ui/framework/messages.h"
#include "ui/profit_calc_dlg.h"

#include "calculation_cases.h"
#include "dialog_driver.h"

using namespace win32test;  // the helpers this file is written in

namespace {

constexpr std::string_view DEFAULT_SUMMARY = "佣金1.50‰,花税1.00‰,过户费1.00‰";

// The calculator reads its settings beside the executable, which here is the test's.
std::filesystem::path SettingsFile() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return std::filesystem::path(path).parent_path() / L"Set.ini";
}

void TypeTrade(HWND dialog, const char* buy, const char* quantity, const char* sell) {
    Type(dialog, res::IDC_BUY_PRICE, buy);
    Type(dialog, res::IDC_QUANTITY, quantity);
    Type(dialog, res::IDC_SELL_PRICE, sell);
}

class CalculatorWindow : public testing::Test {
  protected:
    void SetUp() override { std::filesystem::remove_all(SettingsFile()); }
    void TearDown() override { std::filesystem::remove_all(SettingsFile()); }
    // Runs the calculator window with `steps` driving it once it is up; returns DoModal's result.
    int Drive(const std::function<void(HWND)>& steps) {
        return RunDriven(window, [&steps] {
            const HWND dialog = WaitForDialogOtherThan(nullptr);
            ASSERT_EQ(Text(dialog), TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT);
            steps(dialog);
        });
    }
    // Opens the fee rates with their button, which leaves the calculator disabled meanwhile.
    static HWND OpenRates(HWND dialog) {
        Click(dialog, res::IDC_SETTINGS, true);
        const HWND rates = WaitForDialogOtherThan(dialog);
        EXPECT_EQ(Text(rates), "参数设置");
        EXPECT_FALSE(::IsWindowEnabled(dialog));
        return rates;
    }

    CProfitCalcDlg window;
};

// Then Enter on a button presses it, and Escape ends the window with Cancel.
TEST_F(CalculatorWindow, StartsWithZerosTheFirstExchangeTheDefaultRatesAndItsIcon) {
    EXPECT_EQ(
        Drive([](HWND dialog) {
            for (const int field : {res::IDC_BUY_PRICE, res::IDC_QUANTITY, res::IDC_SELL_PRICE,
                                    res::IDC_NET_PROFIT}) {
                EXPECT_EQ(Text(dialog, field), "0") << field;
            }
            EXPECT_TRUE(Checked(dialog, res::IDC_EXCHANGE_A));
            EXPECT_FALSE(Checked(dialog, res::IDC_EXCHANGE_B));
            EXPECT_EQ(Text(dialog, res::IDC_RATE_SUMMARY), DEFAULT_SUMMARY);
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, res::IDC_NET_PROFIT)));
            // The focus is in the buy price, its text selected so that typing replaces it.
            EXPECT_EQ(Focus(), ::GetDlgItem(dialog, res::IDC_BUY_PRICE));
            EXPECT_EQ(::SendMessageW(Focus(), EM_GETSEL, 0, 0), MAKELRESULT(0, 1));
            const auto icon = reinterpret_cast<LRESULT>(
                ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(res::IDR_MAINFRAME)));
            EXPECT_EQ(::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), icon);
            EXPECT_EQ(::SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0), icon);
            EXPECT_EQ(::SendMessageW(dialog, WM_QUERYDRAGICON, 0, 0), icon);
            FocusControl(dialog, res::IDC_CALCULATE);
            PressKey(VK_RETURN);
            EXPECT_TRUE(WaitUntil([&] { return Text(dialog, res::IDC_NET_PROFIT) == "-12"; }));
            PressKey(VK_ESCAPE);
            EXPECT_TRUE(WaitUntil([] { return ActiveDialog() == nullptr; }));
        }),
        dlg::RESULT_CANCEL);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

class Calculation : public CalculatorWindow,
                    public testing::WithParamInterface<gui::CalculationCase> {};

// Then, every field readable, Enter in a field ends the window with OK.
TEST_P(Calculation, ShowsTheNetResult) {
    EXPECT_EQ(Drive([row = GetParam()](HWND dialog) {
                  TypeTrade(dialog, row.buy, row.quantity, row.sell);
                  if (row.secondExchange) {
                      Click(dialog, res::IDC_EXCHANGE_B);
                      EXPECT_FALSE(Checked(dialog, res::IDC_EXCHANGE_A));
                  }
                  Click(dialog, res::IDC_CALCULATE);
                  EXPECT_EQ(Text(dialog, res::IDC_NET_PROFIT), row.result);
                  // What the window shows reads back: a second Calculate changes nothing.
                  Click(dialog, res::IDC_CALCULATE);
                  EXPECT_EQ(Text(dialog, res::IDC_NET_PROFIT), row.result);
                  FocusControl(dialog, res::IDC_SELL_PRICE);
                  PressKey(VK_RETURN);
              }),
              dlg::RESULT_OK);
}

INSTANTIATE_TEST_SUITE_P(Table, Calculation, testing::ValuesIn(gui::CALCULATIONS),
                         [](const auto& param) { return CaseName(param.param.name); });

// And Enter, a field unreadable, tells it too instead of ending the window.
TEST_F(CalculatorWindow, UnreadableQuantityIsToldAndKeepsTheFieldsAfterIt) {
    Drive([](HWND dialog) {
        TypeTrade(dialog, "5", "100", "6");
        Click(dialog, res::IDC_CALCULATE);
        TypeTrade(dialog, "10", "1.5", "11");
        Click(dialog, res::IDC_EXCHANGE_B);
        Click(dialog, res::IDC_CALCULATE, true);
        const HWND message = WaitForDialogOtherThan(dialog);
        EXPECT_NE(Text(message, 0xFFFF).find("整数"), std::string::npos);  // the message's text
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Text(dialog, res::IDC_BUY_PRICE), "10");
        EXPECT_EQ(Text(dialog, res::IDC_QUANTITY), "100");
        EXPECT_EQ(Text(dialog, res::IDC_SELL_PRICE), "6");
        EXPECT_TRUE(Checked(dialog, res::IDC_EXCHANGE_A));
        const trellan::TradeEntry kept{10, 100, 6, 0, trellan::FIRST_EXCHANGE};
        EXPECT_EQ(Text(dialog, res::IDC_NET_PROFIT),
                  trellan::FormatGeneral15(trellan::CalculateNetProfit(kept, {})).View());
        EXPECT_EQ(Focus(), ::GetDlgItem(dialog, res::IDC_QUANTITY));
        Type(dialog, res::IDC_BUY_PRICE, "x");
        PressKey(VK_RETURN);
        EXPECT_NE(WaitForDialogOtherThan(dialog), nullptr);
    });
}

TEST_F(CalculatorWindow, FeeRatesConfirmedTakeEffectAndAreSaved) {
    Drive([](HWND dialog) {
        Click(dialog, res::IDC_CALCULATE);
        const HWND rates = OpenRates(dialog);
        EXPECT_EQ(Text(rates, res::IDC_COMMISSION_RATE), "1.5");
        EXPECT_EQ(Text(rates, res::IDC_STAMP_DUTY_RATE), "1");
        EXPECT_EQ(Text(rates, res::IDC_TRANSFER_RATE), "1");
        EXPECT_EQ(Focus(), ::GetDlgItem(rates, res::IDC_COMMISSION_RATE));
        Type(rates, res::IDC_COMMISSION_RATE, "2");
        Type(rates, res::IDC_TRANSFER_RATE, "-1");
        Click(rates, res::ID_OK, true);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Text(dialog, res::IDC_RATE_SUMMARY), "佣金2.00‰,花税1.00‰,过户费-1.00‰");
        EXPECT_EQ(Text(dialog, res::IDC_NET_PROFIT), "-12");  // until Calculate
    });
    EXPECT_EQ(window.Schedule().commissionRate, trellan::FromPerMille(2));
    std::ifstream saved(SettingsFile(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}),
              "[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=1.00\r\nTRANSFER=-1.00\r\n");
}

// An unreadable rate is told once, not once per read, and keeps the dialog open; Cancel then
// changes nothing. The close box ends the calculator.
TEST_F(CalculatorWindow, FeeRatesUnreadableAreToldOnceAndCancelledChangeNothing) {
    Drive([](HWND dialog) {
        const HWND rates = OpenRates(dialog);
        Type(rates, res::IDC_COMMISSION_RATE, "9");
        Type(rates, res::IDC_STAMP_DUTY_RATE, "x");
        Click(rates, res::ID_OK, true);
        ASSERT_NE(WaitForDialogOtherThan(rates), nullptr);
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitForReturnTo(rates));
        EXPECT_EQ(ActiveDialog(), rates);  // still, now that OK's command is over
        EXPECT_EQ(Focus(), ::GetDlgItem(rates, res::IDC_STAMP_DUTY_RATE));
        Click(rates, res::ID_CANCEL, true);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Text(dialog, res::IDC_RATE_SUMMARY), DEFAULT_SUMMARY);
        ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(WaitUntil([] { return ActiveDialog() == nullptr; }));
    });
    EXPECT_EQ(window.Schedule().commissionRate, trellan::FeeSchedule{}.commissionRate);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

// The About button, and the system menu's last item after a separator (its command sent as the
// menu sends it, also with the low four bits the system may set), show a new About box each
// time; Enter or Escape closes it and the calculator comes back unchanged.
TEST_F(CalculatorWindow, AboutBoxComesFromTheButtonAndTheSystemMenu) {
    Drive([](HWND dialog) {
        const HMENU menu = ::GetSystemMenu(dialog, FALSE);
        const int last = ::GetMenuItemCount(menu) - 1;
        EXPECT_NE(::GetMenuState(menu, static_cast<UINT>(last - 1), MF_BYPOSITION) & MF_SEPARATOR,
                  0U);
        wchar_t item[32] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(last), item, 32, MF_BYPOSITION);
        EXPECT_STREQ(item, L"关于 Trellan(&A)...");
        const WPARAM about = ::GetMenuItemID(menu, last);
        Type(dialog, res::IDC_BUY_PRICE, "7");
        for (const auto& [command, key] : {std::pair<WPARAM, WPARAM>{0, VK_RETURN},
                                           {0, VK_ESCAPE},
                                           {about, VK_ESCAPE},
                                           {about | 3, VK_RETURN}}) {
            if (command == 0) {
                Click(dialog, res::IDC_ABOUT, true);
            } else {
                ::PostMessageW(dialog, WM_SYSCOMMAND, command, 0);
            }
            const HWND box = WaitForDialogOtherThan(dialog);
            EXPECT_EQ(Text(box), "关于 Quorim");
            EXPECT_NE(::FindWindowExW(box, nullptr, L"Static",
                                      L"" TRELLAN_PRODUCT_NAME L" " TRELLAN_VERSION_TEXT L" 版"),
                      nullptr);
            EXPECT_EQ(Focus(), ::GetDlgItem(box, res::ID_OK));
            PressKey(key);
            ASSERT_TRUE(WaitForReturnTo(dialog));
            EXPECT_FALSE(::IsWindow(box));  // gone, not hidden
        }
        EXPECT_EQ(Text(dialog, res::IDC_BUY_PRICE), "7");
    });
}

}  // namespace
