#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

#include "core/fee_schedule.h"
#include "core/net_profit.h"
#include "core/number_text.h"

#include "res/resource_ids.h"

#include "ui/profit_calc_dlg.h"
#include "ui/win32/wide_text.h"

#include "calculation_cases.h"
#include "dialog_driver.h"

using win32test::Checked;
using win32test::Click;
using win32test::ClickLater;
using win32test::Driver;
using win32test::PressKey;
using win32test::RunDriven;
using win32test::Text;
using win32test::Type;

namespace {

constexpr std::wstring_view CALCULATOR = L"Trellan 0.12";
constexpr std::wstring_view FEE_RATES = L"参数设置";
constexpr std::wstring_view ABOUT = L"关于 Quorim";
constexpr std::string_view DEFAULT_SUMMARY = "佣金1.50‰,花税1.00‰,过户费1.00‰";

// The calculator reads its settings beside the executable, which here is the test's.
std::filesystem::path SettingsFile() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return std::filesystem::path(path).parent_path() / L"Set.ini";
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

class CalculatorWindow : public testing::Test {
  protected:
    void SetUp() override { Remove(); }
    void TearDown() override { Remove(); }
    static void Remove() {
        std::error_code ignored;
        std::filesystem::remove_all(SettingsFile(), ignored);
    }
};

TEST_F(CalculatorWindow, StartsWithZerosTheFirstExchangeAndTheDefaultRates) {
    CProfitCalcDlg window;
    const int result = RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        for (const int field :
             {res::IDC_BUY_PRICE, res::IDC_QUANTITY, res::IDC_SELL_PRICE, res::IDC_NET_PROFIT}) {
            EXPECT_EQ(Text(dialog, field), "0") << field;
        }
        EXPECT_TRUE(Checked(dialog, res::IDC_EXCHANGE_A));
        EXPECT_FALSE(Checked(dialog, res::IDC_EXCHANGE_B));
        EXPECT_EQ(Text(dialog, res::IDC_RATE_SUMMARY), DEFAULT_SUMMARY);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, res::IDC_NET_PROFIT)));
        // The focus is in the buy price, its text selected so that typing replaces it.
        const HWND buy = ::GetDlgItem(dialog, res::IDC_BUY_PRICE);
        EXPECT_EQ(driver.Focus(), buy);
        DWORD start = 9;
        DWORD end = 9;
        ::SendMessageW(buy, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                       reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0U);
        EXPECT_EQ(end, 1U);
        PressKey(driver.Focus(), VK_ESCAPE);
    });
    EXPECT_EQ(result, dlg::RESULT_CANCEL);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

TEST_F(CalculatorWindow, TabGoesThroughTheTabStopsInTemplateOrder) {
    CProfitCalcDlg window;
    RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        std::vector<int> order;
        HWND control = ::GetDlgItem(dialog, res::IDC_BUY_PRICE);
        for (int step = 0; step < 7; ++step) {
            order.push_back(::GetDlgCtrlID(control));
            control = ::GetNextDlgTabItem(dialog, control, FALSE);
        }
        const std::vector<int> expected{
            res::IDC_BUY_PRICE,  res::IDC_QUANTITY, res::IDC_SELL_PRICE, res::IDC_CALCULATE,
            res::IDC_EXCHANGE_A, res::IDC_SETTINGS, res::IDC_ABOUT};
        EXPECT_EQ(order, expected);
        EXPECT_EQ(::GetDlgCtrlID(control), res::IDC_BUY_PRICE);  // and round again
    });
}

class Calculation : public CalculatorWindow,
                    public testing::WithParamInterface<gui::CalculationCase> {};

TEST_P(Calculation, ShowsTheNetResult) {
    const gui::CalculationCase& row = GetParam();
    CProfitCalcDlg window;
    RunDriven(window, [&row](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        Type(dialog, res::IDC_BUY_PRICE, row.buy);
        Type(dialog, res::IDC_QUANTITY, row.quantity);
        Type(dialog, res::IDC_SELL_PRICE, row.sell);
        if (row.secondExchange) {
            Click(dialog, res::IDC_EXCHANGE_B);
            EXPECT_FALSE(Checked(dialog, res::IDC_EXCHANGE_A));
        }
        Click(dialog, res::IDC_CALCULATE);
        EXPECT_EQ(Text(dialog, res::IDC_NET_PROFIT), row.result);
        // What the window shows reads back: a second Calculate changes nothing.
        Click(dialog, res::IDC_CALCULATE);
        EXPECT_EQ(Text(dialog, res::IDC_NET_PROFIT), row.result);
    });
}

INSTANTIATE_TEST_SUITE_P(Table, Calculation, testing::ValuesIn(gui::CALCULATIONS),
                         [](const testing::TestParamInfo<gui::CalculationCase>& param) {
                             std::string name = param.param.name;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
                             }
                             return name;
                         });

TEST_F(CalculatorWindow, UnreadableQuantityIsToldAndKeepsTheFieldsAfterIt) {
    CProfitCalcDlg window;
    RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        Type(dialog, res::IDC_BUY_PRICE, "5");
        Type(dialog, res::IDC_QUANTITY, "100");
        Type(dialog, res::IDC_SELL_PRICE, "6");
        Click(dialog, res::IDC_CALCULATE);

        Type(dialog, res::IDC_BUY_PRICE, "10");
        Type(dialog, res::IDC_QUANTITY, "1.5");
        Type(dialog, res::IDC_SELL_PRICE, "11");
        Click(dialog, res::IDC_EXCHANGE_B);
        ClickLater(dialog, res::IDC_CALCULATE);
        const HWND message = driver.WaitForDialogOtherThan(dialog);
        ASSERT_NE(message, nullptr);
        EXPECT_FALSE(::IsWindowEnabled(dialog));
        EXPECT_NE(win32test::ChildTexts(message).find("整数"), std::string::npos);
        PressKey(driver.Focus(), VK_RETURN);
        ASSERT_TRUE(driver.WaitUntil([&] { return driver.ActiveDialog() == dialog; }));
        ::SendMessageW(dialog, WM_NULL, 0, 0);

        EXPECT_EQ(Text(dialog, res::IDC_BUY_PRICE), "10");
        EXPECT_EQ(Text(dialog, res::IDC_QUANTITY), "100");
        EXPECT_EQ(Text(dialog, res::IDC_SELL_PRICE), "6");
        EXPECT_TRUE(Checked(dialog, res::IDC_EXCHANGE_A));
        EXPECT_FALSE(Checked(dialog, res::IDC_EXCHANGE_B));
        const trellan::TradeEntry kept{10, 100, 6, 0, trellan::FIRST_EXCHANGE};
        EXPECT_EQ(Text(dialog, res::IDC_NET_PROFIT),
                  trellan::FormatGeneral15(trellan::CalculateNetProfit(kept, {})).View());
        EXPECT_EQ(driver.Focus(), ::GetDlgItem(dialog, res::IDC_QUANTITY));
    });
}

struct KeyCase {
    const char* name;
    const char* buyPrice;
    int focus;
    WPARAM key;
    int result;  // what DoModal returns; 0 when the window stays open
};

class Keys : public CalculatorWindow, public testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, EndTheWindowAsTheDialogManagerDoes) {
    const KeyCase& row = GetParam();
    CProfitCalcDlg window;
    bool told = false;
    bool stayed = false;
    const int result = RunDriven(window, [&](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        Type(dialog, res::IDC_BUY_PRICE, row.buyPrice);
        win32test::FocusControl(dialog, row.focus);
        PressKey(driver.Focus(), row.key);
        if (row.result != 0) {
            return;
        }
        // An unreadable field: told, and the window stays.
        const HWND message = driver.WaitForDialogOtherThan(dialog);
        ASSERT_NE(message, nullptr);
        told = true;
        PressKey(driver.Focus(), VK_RETURN);
        stayed = driver.WaitUntil([&] { return driver.ActiveDialog() == dialog; });
    });
    if (row.result != 0) {
        EXPECT_EQ(result, row.result);
    } else {
        EXPECT_TRUE(told);
        EXPECT_TRUE(stayed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Keys,
    testing::Values(KeyCase{"EnterGivesOk", "10", res::IDC_SELL_PRICE, VK_RETURN, dlg::RESULT_OK},
                    KeyCase{"EscapeGivesCancel", "10", res::IDC_QUANTITY, VK_ESCAPE,
                            dlg::RESULT_CANCEL},
                    KeyCase{"EnterWithAnUnreadableField", "x", res::IDC_SELL_PRICE, VK_RETURN, 0}),
    [](const testing::TestParamInfo<KeyCase>& param) { return std::string(param.param.name); });

TEST_F(CalculatorWindow, EnterOnAButtonPressesIt) {
    CProfitCalcDlg window;
    RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        win32test::FocusControl(dialog, res::IDC_CALCULATE);
        PressKey(driver.Focus(), VK_RETURN);
        EXPECT_TRUE(driver.WaitUntil([&] { return Text(dialog, res::IDC_NET_PROFIT) == "-12"; }));
        EXPECT_TRUE(::IsWindowVisible(dialog));
    });
}

TEST_F(CalculatorWindow, CloseBoxGivesCancel) {
    CProfitCalcDlg window;
    const int result = RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(result, dlg::RESULT_CANCEL);
}

TEST_F(CalculatorWindow, FeeRatesConfirmedTakeEffectAndAreSaved) {
    CProfitCalcDlg window;
    RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        Click(dialog, res::IDC_CALCULATE);
        ClickLater(dialog, res::IDC_SETTINGS);
        const HWND rates = driver.WaitForDialog(FEE_RATES);
        ASSERT_NE(rates, nullptr);
        EXPECT_FALSE(::IsWindowEnabled(dialog));
        EXPECT_EQ(Text(rates, res::IDC_COMMISSION_RATE), "1.5");
        EXPECT_EQ(Text(rates, res::IDC_STAMP_DUTY_RATE), "1");
        EXPECT_EQ(Text(rates, res::IDC_TRANSFER_RATE), "1");
        EXPECT_EQ(driver.Focus(), ::GetDlgItem(rates, res::IDC_COMMISSION_RATE));
        Type(rates, res::IDC_COMMISSION_RATE, "2");
        Type(rates, res::IDC_TRANSFER_RATE, "-1");
        ClickLater(rates, res::ID_OK);
        ASSERT_TRUE(driver.WaitUntil([&] { return driver.ActiveDialog() == dialog; }));
        ::SendMessageW(dialog, WM_NULL, 0, 0);
        const std::string summary = Text(dialog, res::IDC_RATE_SUMMARY);
        EXPECT_TRUE(StartsWith(summary, "佣金2.00‰")) << summary;
        EXPECT_TRUE(EndsWith(summary, "过户费-1.00‰")) << summary;
        EXPECT_EQ(Text(dialog, res::IDC_NET_PROFIT), "-12");  // until Calculate
    });
    EXPECT_EQ(window.Schedule().commissionRate, trellan::FromPerMille(2));
    EXPECT_EQ(window.Schedule().transferRate, trellan::FromPerMille(-1));
    EXPECT_EQ(ReadFile(SettingsFile()),
              "[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=1.00\r\nTRANSFER=-1.00\r\n");
}

TEST_F(CalculatorWindow, FeeRatesCancelledChangeNothing) {
    CProfitCalcDlg window;
    RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        ClickLater(dialog, res::IDC_SETTINGS);
        const HWND rates = driver.WaitForDialog(FEE_RATES);
        ASSERT_NE(rates, nullptr);
        Type(rates, res::IDC_COMMISSION_RATE, "9");
        ClickLater(rates, res::ID_CANCEL);
        ASSERT_TRUE(driver.WaitUntil([&] { return driver.ActiveDialog() == dialog; }));
        EXPECT_EQ(Text(dialog, res::IDC_RATE_SUMMARY), DEFAULT_SUMMARY);
    });
    EXPECT_EQ(window.Schedule().commissionRate, trellan::FeeSchedule{}.commissionRate);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

TEST_F(CalculatorWindow, UnreadableRateIsToldOnceAndKeepsTheDialogOpen) {
    CProfitCalcDlg window;
    RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        ClickLater(dialog, res::IDC_SETTINGS);
        const HWND rates = driver.WaitForDialog(FEE_RATES);
        ASSERT_NE(rates, nullptr);
        Type(rates, res::IDC_STAMP_DUTY_RATE, "x");
        ClickLater(rates, res::ID_OK);
        const HWND message = driver.WaitForDialogOtherThan(rates);
        ASSERT_NE(message, nullptr);
        PressKey(driver.Focus(), VK_RETURN);
        ASSERT_TRUE(driver.WaitUntil([&] { return driver.ActiveDialog() == rates; }));
        // Answered only once OK's command is over: no second message came.
        ::SendMessageW(rates, WM_NULL, 0, 0);
        EXPECT_EQ(driver.ActiveDialog(), rates);
        EXPECT_EQ(driver.Focus(), ::GetDlgItem(rates, res::IDC_STAMP_DUTY_RATE));
        PressKey(driver.Focus(), VK_ESCAPE);
        ASSERT_TRUE(driver.WaitUntil([&] { return driver.ActiveDialog() == dialog; }));
        EXPECT_EQ(Text(dialog, res::IDC_RATE_SUMMARY), DEFAULT_SUMMARY);
    });
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

// The About button and the system menu's item (with or without the low four bits the system
// may set) show the same box, a new one each time, and the calculator comes back unchanged.
struct AboutCase {
    const char* name;
    bool fromButton;
    WPARAM command;
    WPARAM closingKey;
};

class AboutBox : public CalculatorWindow, public testing::WithParamInterface<AboutCase> {};

TEST_P(AboutBox, ShowsTheProductAndComesBack) {
    const AboutCase& row = GetParam();
    CProfitCalcDlg window;
    RunDriven(window, [&row](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        Type(dialog, res::IDC_BUY_PRICE, "7");
        for (int time = 0; time < 2; ++time) {
            if (row.fromButton) {
                ClickLater(dialog, res::IDC_ABOUT);
            } else {
                ::PostMessageW(dialog, WM_SYSCOMMAND, row.command, 0);
            }
            const HWND about = driver.WaitForDialog(ABOUT);
            ASSERT_NE(about, nullptr);
            EXPECT_NE(win32test::ChildTexts(about).find("Trellan 0.12 版"), std::string::npos);
            EXPECT_EQ(driver.Focus(), ::GetDlgItem(about, res::ID_OK));
            PressKey(driver.Focus(), row.closingKey);
            // The box is gone, not hidden, and the calculator takes input again.
            ASSERT_TRUE(driver.WaitUntil(
                [&] { return !::IsWindow(about) && driver.ActiveDialog() == dialog; }));
        }
        EXPECT_EQ(Text(dialog, res::IDC_BUY_PRICE), "7");
    });
}

INSTANTIATE_TEST_SUITE_P(
    Table, AboutBox,
    testing::Values(AboutCase{"ButtonThenEnter", true, 0, VK_RETURN},
                    AboutCase{"ButtonThenEscape", true, 0, VK_ESCAPE},
                    AboutCase{"SystemMenu", false, res::IDM_ABOUTBOX, VK_ESCAPE},
                    AboutCase{"SystemMenuLowBitsSet", false, res::IDM_ABOUTBOX | 0x3, VK_RETURN}),
    [](const testing::TestParamInfo<AboutCase>& param) { return std::string(param.param.name); });

std::wstring MenuItemText(HMENU menu, int position) {
    std::wstring text(64, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetMenuStringW(menu, static_cast<UINT>(position), text.data(), 64, MF_BYPOSITION)));
    return text;
}

TEST_F(CalculatorWindow, SystemMenuEndsWithASeparatorAndTheAboutItem) {
    CProfitCalcDlg window;
    RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        const HMENU menu = ::GetSystemMenu(dialog, FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 3);
        EXPECT_NE(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
        EXPECT_EQ(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
                  static_cast<UINT>(MF_SEPARATOR));
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), res::IDM_ABOUTBOX);
        EXPECT_EQ(MenuItemText(menu, count - 1), L"关于 Trellan(&A)...");
    });
}

TEST_F(CalculatorWindow, CarriesTheApplicationIcon) {
    CProfitCalcDlg window;
    RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        const auto icon = reinterpret_cast<LRESULT>(
            ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(res::IDR_MAINFRAME)));
        ASSERT_NE(icon, 0);
        EXPECT_EQ(::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), icon);
        EXPECT_EQ(::SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0), icon);
        EXPECT_EQ(::SendMessageW(dialog, WM_QUERYDRAGICON, 0, 0), icon);
        EXPECT_NE(::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    });
}

}  // namespace

namespace {

POINT Centre(HWND window) {
    RECT area{};
    ::GetWindowRect(window, &area);
    return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

TEST_F(CalculatorWindow, ComesUpOnTheScreenAndItsDialogsCentredOverIt) {
    CProfitCalcDlg window;
    RunDriven(window, [](Driver& driver) {
        const HWND dialog = driver.WaitForDialog(CALCULATOR);
        ASSERT_NE(dialog, nullptr);
        RECT screen{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
        const POINT centre = Centre(dialog);
        EXPECT_LE(std::abs(centre.x - (screen.left + screen.right) / 2), 1);
        EXPECT_LE(std::abs(centre.y - (screen.top + screen.bottom) / 2), 1);
        ClickLater(dialog, res::IDC_ABOUT);
        const HWND about = driver.WaitForDialog(ABOUT);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(::GetWindow(about, GW_OWNER), dialog);
        EXPECT_LE(std::abs(Centre(about).x - centre.x), 1);
        EXPECT_LE(std::abs(Centre(about).y - centre.y), 1);
    });
}

}  // namespace
