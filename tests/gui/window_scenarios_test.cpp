// The windows driven as a user drives them, written once for every window backend: the calls
// of window_driver.h are Qt's on Linux and USER32's on Windows. The arithmetic is proven bit for
// bit by the core's tests; here, that the windows pass it the fields and show what it gives.
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "settings/settings_location.h"

#include "res/resource_ids.h"
#include "res/version.h"

#include "ui/framework/messages.h"
#include "ui/framework/toolkit.h"
#include "ui/profit_calc_dlg.h"

#include "gui/window_driver.h"
#include "support/row_name.h"
#include "support/temp_dir.h"
#include "support/text_contrast.h"

namespace gui {
namespace {

using namespace res;  // the controls' identifiers
using enum Key;

const std::string DEFAULT_SUMMARY = "佣金1.50‰,花税1.00‰,过户费1.00‰";
const std::string SUMMARY_2023 = "现行佣0.25‰,印花0.50‰,过户0.01‰";

// The calculator keeps Set.ini where the program does: beside the executable, the test's here.
std::filesystem::path SettingsFile() {
    const auto path = trellan::FindSettingsLocation().savePath;
    return std::u8string(reinterpret_cast<const char8_t*>(path.data()));
}

// The texts of the controls, "|" between them.
std::string Texts(Window dialog, std::initializer_list<int> ids) {
    std::string texts;
    for (const int id : ids) {
        if (!texts.empty()) {
            texts += '|';
        }
        texts += Text(dialog, id);
    }
    return texts;
}

void TypeTrade(Window dialog, const char* buy, const char* quantity, const char* sell) {
    Type(dialog, IDC_BUY_PRICE, buy);
    Type(dialog, IDC_QUANTITY, quantity);
    Type(dialog, IDC_SELL_PRICE, sell);
}

class Calculator : public testing::Test {
  protected:
    void SetUp() override { std::filesystem::remove_all(SettingsFile()); }
    void TearDown() override { std::filesystem::remove_all(SettingsFile()); }
    int Drive(const std::function<void(Window)>& steps) { return RunDriven(calculator, steps); }

    CProfitCalcDlg calculator;
};

// The calculator starts with zeros, the first exchange and the default rates, the focus in the
// buy price, its text selected so that typing replaces it. The result, once calculated, reads at
// 4.5:1 or better against its field (WCAG), in each colour scheme. The About button and the system
// menu's item (its command also with the low four bits that the system may set) show the About box;
// Enter or Escape closes it and the calculator comes back as it was.
TEST_F(Calculator, StartsWithZerosShowsAReadableResultAndTheAboutBox) {
    Drive([](Window dialog) {
        EXPECT_EQ(Caption(dialog), TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT);
        EXPECT_EQ(Texts(dialog, {IDC_BUY_PRICE, IDC_QUANTITY, IDC_SELL_PRICE, IDC_NET_PROFIT,
                                 IDC_RATE_SUMMARY}),
                  "0|0|0|0|" + DEFAULT_SUMMARY);
        EXPECT_TRUE(Checked(dialog, IDC_EXCHANGE_A));
        EXPECT_TRUE(HasFocus(dialog, IDC_BUY_PRICE));
        EXPECT_EQ(SelectedText(dialog, IDC_BUY_PRICE), "0");
        Click(dialog, IDC_CALCULATE);
        const auto shots = Shots(dialog, IDC_NET_PROFIT);
        for (std::size_t scheme = 0; scheme < shots.size(); ++scheme) {
            EXPECT_GE(TextContrast(shots[scheme]), 4.5) << "colour scheme " << scheme;
        }
        for (const Key key : {Enter, Escape}) {
            key == Enter ? Click(dialog, IDC_ABOUT, true)
                         : SystemCommandLater(dialog, IDM_ABOUTBOX | 3);
            const Window box = WaitForDialog(dialog);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(Caption(box), "关于 Quorim");
            EXPECT_TRUE(HasFocus(box, ID_OK));
            Press(key, true);
            EXPECT_TRUE(WaitUntilClosed(box));
        }
        EXPECT_EQ(Text(dialog, IDC_NET_PROFIT), "-12");
    });
}

// A trade calculated, or none, and its details opened from the "…" button, or on the second
// exchange from the system menu: the result field's text, then every fee to the cent, the result
// field's text again, the break-even sell price, the return and the rules.
struct TradeCase {
    const char* name;
    const char* settings;  // the text of Set.ini; nullptr: none
    const char* buy;       // nullptr: no Calculate
    const char* quantity;
    const char* sell;
    bool secondExchange;
    const char* shown;
};

const TradeCase TRADES[] = {
    {"before any calculation", nullptr, nullptr, nullptr, nullptr, false,
     "0||||||||||||尚未计算：请先按“计  算”。"},
    {"first exchange", nullptr, "10", "1000", "11", false,
     "945.5|15.00|16.50|10.00|11.00|1.00|1.00|54.50|1000.00|945.5|10.06|9.43%|按原有规则计算。"},
    {"second exchange", nullptr, "10", "1000", "11", true,
     "947.5|15.00|16.50|10.00|11.00|0.00|0.00|52.50|1000.00|947.5|10.06|9.45%|按原有规则计算。"},
    {"today's rules", "[SET]\r\nRULES=2023\r\n", "10", "1000", "11", false,
     "984.29|5.00|5.00|0.00|5.50|0.10|0.11|15.71|1000.00|984.29|10.02|9.84%|"
     "按现行规则（2023年8月28日起）计算。"},
    {"no shares, no break-even price, no minus zero", nullptr, "10", "0", "9", false,
     "-12|5.00|5.00|0.00|0.00|1.00|1.00|12.00|0.00|-12|—|-200.00%|按原有规则计算。"},
    {"not finite", nullptr, "1e308", "-2147483648", "-1e308", true,
     "-nan||||||||||||结果不是有限数，无法列出明细。"},
};

class Trade : public Calculator, public testing::WithParamInterface<TradeCase> {};

TEST_P(Trade, ShowsItsResultAndDetails) {
    const TradeCase& row = GetParam();
    if (row.settings != nullptr) {
        support::WriteFile(SettingsFile(), row.settings);
    }
    Drive([&row](Window dialog) {
        if (row.buy != nullptr) {
            TypeTrade(dialog, row.buy, row.quantity, row.sell);
            Click(dialog, row.secondExchange ? IDC_EXCHANGE_B : IDC_EXCHANGE_A);
            Click(dialog, IDC_CALCULATE);
        }
        row.secondExchange ? SystemCommandLater(dialog, IDM_DETAILS)
                           : Click(dialog, IDC_DETAILS, true);
        const Window details = WaitForDialog(dialog);
        ASSERT_NE(details, nullptr);
        std::string shown = Text(dialog, IDC_NET_PROFIT);
        for (int id = IDC_DETAIL_BUY_COMMISSION; id <= IDC_DETAIL_NOTE; ++id) {
            shown += '|';
            shown += Text(details, id);
        }
        EXPECT_EQ(shown, row.shown);
        Press(Enter, true);  // the default button: OK
        EXPECT_TRUE(WaitUntilClosed(details));
    });
}

INSTANTIATE_TEST_SUITE_P(Table, Trade, testing::ValuesIn(TRADES), support::RowName{});

// After the trade 5, 100, 6 the user types 20, 1000, 11 on the second exchange, the quantity
// not whole, and presses Calculate: the message names the problem, the fields before it take
// their new values, it and every later one (the exchange too) keep the old, the result is worked
// out from what is shown, and the quantity has the focus, its text wholly selected. Enter, a
// field unreadable, tells it too instead of ending the window.
TEST_F(Calculator, UnreadableFieldIsToldAndKeepsTheFieldsAfterIt) {
    Drive([](Window dialog) {
        TypeTrade(dialog, "5", "100", "6");
        Click(dialog, IDC_CALCULATE);
        TypeTrade(dialog, "20", "1.5", "11");
        Click(dialog, IDC_EXCHANGE_B);
        Click(dialog, IDC_CALCULATE, true);
        EXPECT_NE(AcceptMessage().find("整数"), std::string::npos);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Texts(dialog, {IDC_BUY_PRICE, IDC_QUANTITY, IDC_SELL_PRICE, IDC_NET_PROFIT}),
                  "20|100|6|-1414.6");
        EXPECT_TRUE(Checked(dialog, IDC_EXCHANGE_A));
        EXPECT_TRUE(HasFocus(dialog, IDC_QUANTITY));
        EXPECT_EQ(SelectedText(dialog, IDC_QUANTITY), "100");
        Type(dialog, IDC_QUANTITY, "x");
        Press(Enter, true);
        EXPECT_NE(AcceptMessage().find("整数"), std::string::npos);
        EXPECT_TRUE(WaitForReturnTo(dialog));
    });
}

// The calculator from the keyboard, the first exchange checked: which control a key sequence
// reaches, which exchange it leaves checked and what the result field shows; or that it ends the
// window. A radio group is one tab stop, entered at its checked button; the result field is none.
struct KeyCase {
    const char* name;
    int start;  // the control focused before the keys
    std::vector<Key> keys;
    int focus;  // the control focused after them; 0: the window has ended
    int checked;
    const char* shown = "0";
};

constexpr int A = IDC_EXCHANGE_A;
constexpr int B = IDC_EXCHANGE_B;

const KeyCase KEYS[] = {
    {"Right checks the next; Tab enters there", IDC_CALCULATE, {Tab, Right, BackTab, Tab}, B, B},
    {"Space on the group keeps its exchange", IDC_CALCULATE, {Tab, Right, Space}, B, B},
    {"Shift+Tab enters and leaves the group", IDC_SETTINGS, {BackTab, BackTab}, IDC_CALCULATE, A},
    {"Left goes round the two exchanges only", IDC_CALCULATE, {Tab, Left}, B, B},
    {"the result field is no tab stop", IDC_SELL_PRICE, {Tab}, IDC_CALCULATE, A},
    {"Enter on a button presses it", IDC_CALCULATE, {Enter}, IDC_CALCULATE, A, "-12"},
    {"Enter in a field ends it", IDC_SELL_PRICE, {Enter}, 0, A},
    {"Escape ends it", IDC_BUY_PRICE, {Escape}, 0, A},
};

class Keyboard : public Calculator, public testing::WithParamInterface<KeyCase> {};

TEST_P(Keyboard, ReachesTheControl) {
    Drive([row = GetParam()](Window dialog) {
        Focus(dialog, row.start);
        for (const Key key : row.keys) {
            Press(key);
        }
        if (row.focus == 0) {
            EXPECT_TRUE(WaitUntilClosed(dialog));
            return;
        }
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_TRUE(HasFocus(dialog, row.focus));
        EXPECT_TRUE(Checked(dialog, row.checked));
        EXPECT_EQ(Text(dialog, IDC_NET_PROFIT), row.shown);
    });
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

INSTANTIATE_TEST_SUITE_P(Table, Keyboard, testing::ValuesIn(KEYS), support::RowName{});

// The close box and the system menu's Close end the window with Cancel.
TEST_F(Calculator, CloseBoxAndSystemMenuCloseEndIt) {
    for (const bool closeBox : {true, false}) {
        CProfitCalcDlg closing;
        EXPECT_EQ(RunDriven(closing,
                            [closeBox](Window dialog) {
                                closeBox ? CloseBoxLater(dialog)
                                         : SystemCommandLater(dialog, dlg::SYSTEM_CLOSE);
                                EXPECT_TRUE(WaitUntilClosed(dialog));
                            }),
                  dlg::RESULT_CANCEL);
    }
}

// The fee rate dialog opens on the rates in force. What the user types there takes effect only
// with OK, for the run even when Set.ini cannot be saved (the message names it); a field that
// cannot be read is told once, and the dialog stays open on it. Each rule set keeps its own rates
// in the same three fields, the minimum commission only today's; OK saves both and the choice,
// and a restart calculates with them. The result stays until the next Calculate.
TEST_F(Calculator, FeeRatesTakeEffectWhenConfirmedAndAreKept) {
    std::filesystem::create_directory(SettingsFile());  // cannot be saved, at first
    Drive([](Window dialog) {
        Click(dialog, IDC_CALCULATE);
        Click(dialog, IDC_SETTINGS, true);
        Window rates = WaitForDialog(dialog);
        ASSERT_NE(rates, nullptr);
        Type(rates, IDC_COMMISSION_RATE, "9");
        Click(rates, ID_CANCEL, true);  // nothing saved: a save would be told
        ASSERT_TRUE(WaitForReturnTo(dialog));
        Click(dialog, IDC_SETTINGS, true);
        rates = WaitForDialog(dialog);
        ASSERT_NE(rates, nullptr);
        EXPECT_EQ(Texts(rates, {IDC_COMMISSION_RATE, IDC_STAMP_DUTY_RATE, IDC_TRANSFER_RATE}),
                  "1.5|1|1");
        Type(rates, IDC_COMMISSION_RATE, "3");
        Click(rates, ID_OK, true);
        EXPECT_NE(AcceptMessage().find("Set.ini"), std::string::npos);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Text(dialog, IDC_RATE_SUMMARY), "佣金3.00‰,花税1.00‰,过户费1.00‰");
        std::filesystem::remove(SettingsFile());
        Click(dialog, IDC_SETTINGS, true);
        rates = WaitForDialog(dialog);
        ASSERT_NE(rates, nullptr);
        EXPECT_FALSE(Enabled(rates, IDC_MIN_COMMISSION));
        Type(rates, IDC_COMMISSION_RATE, "2");
        Type(rates, IDC_STAMP_DUTY_RATE, "x");
        Click(rates, ID_OK, true);
        EXPECT_NE(AcceptMessage().find("数字"), std::string::npos);
        ASSERT_TRUE(WaitForReturnTo(rates));
        EXPECT_TRUE(HasFocus(rates, IDC_STAMP_DUTY_RATE));
        Type(rates, IDC_STAMP_DUTY_RATE, "1");
        Type(rates, IDC_TRANSFER_RATE, "-1");
        Click(rates, IDC_RULES_2023);
        EXPECT_EQ(Texts(rates, {IDC_COMMISSION_RATE, IDC_STAMP_DUTY_RATE, IDC_TRANSFER_RATE,
                                IDC_MIN_COMMISSION}),
                  "0.25|0.5|0.01|5");
        EXPECT_TRUE(Enabled(rates, IDC_MIN_COMMISSION));
        Type(rates, IDC_MIN_COMMISSION, "0");
        Type(rates, IDC_COMMISSION_RATE, "x");  // told, and nothing typed is lost
        Click(rates, IDC_RULES_2023, true);
        EXPECT_NE(AcceptMessage(), "");
        ASSERT_TRUE(WaitForReturnTo(rates));
        EXPECT_TRUE(Checked(rates, IDC_RULES_2023));
        EXPECT_EQ(Texts(rates, {IDC_COMMISSION_RATE, IDC_MIN_COMMISSION}), "x|0");
        Type(rates, IDC_COMMISSION_RATE, "0.25");
        Click(rates, ID_OK, true);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Texts(dialog, {IDC_RATE_SUMMARY, IDC_NET_PROFIT}), SUMMARY_2023 + "|-12");
    });
    CProfitCalcDlg restarted;
    RunDriven(restarted, [](Window dialog) {
        TypeTrade(dialog, "10", "1000", "11");
        Click(dialog, IDC_CALCULATE);  // no minimum commission
        EXPECT_EQ(Texts(dialog, {IDC_RATE_SUMMARY, IDC_NET_PROFIT}), SUMMARY_2023 + "|989.04");
        Click(dialog, IDC_SETTINGS, true);
        const Window rates = WaitForDialog(dialog);
        ASSERT_NE(rates, nullptr);
        EXPECT_TRUE(Checked(rates, IDC_RULES_2023));
        Click(rates, IDC_RULES_2023);
        EXPECT_EQ(Texts(rates, {IDC_COMMISSION_RATE, IDC_STAMP_DUTY_RATE, IDC_TRANSFER_RATE}),
                  "2|1|-1");
    });
}

}  // namespace
}  // namespace gui

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const dlg::Toolkit toolkit(argc, argv);  // as the program starts it
    return RUN_ALL_TESTS();
}
