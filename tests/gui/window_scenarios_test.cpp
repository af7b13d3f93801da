// The windows driven as a user drives them, written once for every window backend: the calls
// of window_driver.h are Qt's on Linux and USER32's on Windows.
#include <algorithm>
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/fee_schedule.h"

#include "settings/settings_file.h"
#include "settings/settings_location.h"

#include "res/resource_ids.h"
#include "res/version.h"

#include "ui/framework/messages.h"
#include "ui/profit_calc_dlg.h"

#include "gui/window_driver.h"
#include "support/row_name.h"
#include "support/temp_dir.h"

namespace gui {
namespace {

using namespace res;  // the controls' identifiers

const std::string DEFAULT_SUMMARY = "佣金1.50‰,花税1.00‰,过户费1.00‰";
const std::string SUMMARY_2023 = "现行佣0.25‰,印花0.50‰,过户0.01‰";
// A new Set.ini has the platform's line ends.
#ifdef _WIN32
const std::string NL = "\r\n";
#else
const std::string NL = "\n";
#endif

// The calculator keeps Set.ini where the program does: beside the executable, the test's here.
std::filesystem::path SettingsFile() {
    const auto path = trellan::FindSettingsLocation().savePath;
    return std::u8string(reinterpret_cast<const char8_t*>(path.data()));
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

// Escape then ends it with Cancel, and nothing is written.
TEST_F(Calculator, StartsWithZerosTheFirstExchangeAndTheDefaultRates) {
    EXPECT_EQ(
        Drive([](Window dialog) {
            EXPECT_EQ(Caption(dialog), TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT);
            for (const int id : {IDC_BUY_PRICE, IDC_QUANTITY, IDC_SELL_PRICE, IDC_NET_PROFIT}) {
                EXPECT_EQ(Text(dialog, id), "0") << id;
            }
            EXPECT_TRUE(Checked(dialog, IDC_EXCHANGE_A));
            EXPECT_FALSE(Checked(dialog, IDC_EXCHANGE_B));
            EXPECT_EQ(Text(dialog, IDC_RATE_SUMMARY), DEFAULT_SUMMARY);
            // The focus is in the buy price, its text selected so that typing replaces it.
            EXPECT_EQ(FocusedId(dialog), IDC_BUY_PRICE);
            EXPECT_EQ(SelectedText(dialog, IDC_BUY_PRICE), "0");
            PressLater(Key::Escape);
            EXPECT_TRUE(WaitUntilClosed(dialog));
        }),
        dlg::RESULT_CANCEL);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

struct CalculationCase {
    const char* name;
    const char* buy;
    const char* quantity;
    const char* sell;
    bool secondExchange;
    const char* result;  // the text of the result field after Calculate
};

const CalculationCase CALCULATIONS[] = {
    {"at once", "0", "0", "0", false, "-12"},
    {"first exchange", "10", "1000", "11", false, "945.5"},
    {"second exchange", "10", "1000", "11", true, "947.5"},
    {"minimums", "10", "100", "10", false, "-14"},
    {"last bits", "37.79", "200", "42.12", false, "824.045"},
    {"small loss", "23.77", "200", "23.85", false, "-9.80999999999963"},
    {"blanks around", " 10 ", " 1000", "11 ", false, "945.5"},
    {"overflow", "1e308", "-2147483648", "-1e308", true, "-nan"},
};

class Calculation : public Calculator, public testing::WithParamInterface<CalculationCase> {};

TEST_P(Calculation, ShowsTheNetResult) {
    Drive([row = GetParam()](Window dialog) {
        TypeTrade(dialog, row.buy, row.quantity, row.sell);
        if (row.secondExchange) {
            Click(dialog, IDC_EXCHANGE_B);
            EXPECT_FALSE(Checked(dialog, IDC_EXCHANGE_A));
        }
        Click(dialog, IDC_CALCULATE);
        EXPECT_EQ(Text(dialog, IDC_NET_PROFIT), row.result);
        // What the window shows reads back: a second Calculate changes nothing.
        Click(dialog, IDC_CALCULATE);
        EXPECT_EQ(Text(dialog, IDC_NET_PROFIT), row.result);
    });
}

INSTANTIATE_TEST_SUITE_P(Table, Calculation, testing::ValuesIn(CALCULATIONS), support::RowName{});

// After the trade 5, 100, 6 the user types 10, 1000, 11 on the second exchange, one field
// unreadable, and presses Calculate: the message names the problem, the fields before it take
// their new values, it and every later one (the exchange too) keep the old, the result is worked
// out from what is shown, and the focus is on it.
struct UnreadableCase {
    const char* name;
    int field;
    const char* text;
    const char* message;  // a part of it
    std::array<const char*, 3> shown;
    const char* result;
};

const UnreadableCase UNREADABLE[] = {
    {"quantity not whole", IDC_QUANTITY, "1.5", "整数", {"10", "100", "6"}, "-413.6"},
    {"quantity beyond 32 bits", IDC_QUANTITY, "2147483648", "整数", {"10", "100", "6"}, "-413.6"},
    {"empty price", IDC_BUY_PRICE, "", "数字", {"5", "100", "6"}, "86.9"},
    {"decimal comma", IDC_SELL_PRICE, "2,5", "数字", {"10", "1000", "6"}, "-4042"},
};

class Unreadable : public Calculator, public testing::WithParamInterface<UnreadableCase> {};

TEST_P(Unreadable, IsToldAndKeepsTheFieldsAfterIt) {
    Drive([row = GetParam()](Window dialog) {
        TypeTrade(dialog, "5", "100", "6");
        Click(dialog, IDC_CALCULATE);
        TypeTrade(dialog, "10", "1000", "11");
        Type(dialog, row.field, row.text);
        Click(dialog, IDC_EXCHANGE_B);
        ClickLater(dialog, IDC_CALCULATE);
        EXPECT_NE(AcceptMessage().find(row.message), std::string::npos);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Text(dialog, IDC_BUY_PRICE), row.shown[0]);
        EXPECT_EQ(Text(dialog, IDC_QUANTITY), row.shown[1]);
        EXPECT_EQ(Text(dialog, IDC_SELL_PRICE), row.shown[2]);
        EXPECT_TRUE(Checked(dialog, IDC_EXCHANGE_A));
        EXPECT_EQ(Text(dialog, IDC_NET_PROFIT), row.result);
        EXPECT_EQ(FocusedId(dialog), row.field);
    });
}

INSTANTIATE_TEST_SUITE_P(Table, Unreadable, testing::ValuesIn(UNREADABLE), support::RowName{});

// How the window ends, or does not: Enter gives OK (ended only when every field reads) or
// presses the focused button; Escape, the close box and the system menu's Close give Cancel.
struct EndingCase {
    const char* name;
    void (*act)(Window dialog);
    int result;
};

const EndingCase ENDINGS[] = {
    {"Enter in a field",
     [](Window dialog) {
         Focus(dialog, IDC_SELL_PRICE);
         PressLater(Key::Enter);
     },
     dlg::RESULT_OK},
    {"Enter with a field unreadable",
     [](Window dialog) {
         Type(dialog, IDC_BUY_PRICE, "x");
         PressLater(Key::Enter);
         EXPECT_NE(AcceptMessage(), "");
         ASSERT_TRUE(WaitForReturnTo(dialog));
         PressLater(Key::Escape);
     },
     dlg::RESULT_CANCEL},
    {"Enter on Calculate",
     [](Window dialog) {
         Focus(dialog, IDC_CALCULATE);
         PressLater(Key::Enter);
         EXPECT_TRUE(WaitUntil([dialog] { return Text(dialog, IDC_NET_PROFIT) == "-12"; }));
         EXPECT_TRUE(WaitForReturnTo(dialog));
         PressLater(Key::Escape);
     },
     dlg::RESULT_CANCEL},
    {"close box", [](Window dialog) { CloseBoxLater(dialog); }, dlg::RESULT_CANCEL},
    {"system menu Close", [](Window dialog) { SystemCommandLater(dialog, dlg::SYSTEM_CLOSE); },
     dlg::RESULT_CANCEL},
};

class Ending : public Calculator, public testing::WithParamInterface<EndingCase> {};

TEST_P(Ending, GivesItsResult) {
    const EndingCase& row = GetParam();
    EXPECT_EQ(Drive([&row](Window dialog) {
                  row.act(dialog);
                  EXPECT_TRUE(WaitUntilClosed(dialog));
              }),
              row.result);
}

INSTANTIATE_TEST_SUITE_P(Table, Ending, testing::ValuesIn(ENDINGS), support::RowName{});

// The calculator from the keyboard: which control a key sequence reaches, and what it leaves
// checked or typed. The tab stops in order are the three fields, Calculate, the exchange group
// (entered at its checked button), "*" and About; the result field is none.
struct KeyCase {
    const char* name;
    int checked;  // the exchange button checked before the keys
    int start;    // the control focused before the keys
    std::vector<Key> keys;
    bool selected;  // the focused field's whole text ("0") is selected at the end
    int focus;      // the control with the focus at the end
    int checkedAfter;
};

const KeyCase KEYS[] = {
    {"Tab enters the group at the checked second button",
     IDC_EXCHANGE_B,
     IDC_CALCULATE,
     {Key::Tab},
     false,
     IDC_EXCHANGE_B,
     IDC_EXCHANGE_B},
    {"Tab enters the group at the checked first button",
     IDC_EXCHANGE_A,
     IDC_CALCULATE,
     {Key::Tab},
     false,
     IDC_EXCHANGE_A,
     IDC_EXCHANGE_A},
    {"Space on the entered group keeps the exchange",
     IDC_EXCHANGE_B,
     IDC_CALCULATE,
     {Key::Tab, Key::Space},
     false,
     IDC_EXCHANGE_B,
     IDC_EXCHANGE_B},
    {"Shift+Tab enters the group at the checked button",
     IDC_EXCHANGE_B,
     IDC_SETTINGS,
     {Key::BackTab},
     false,
     IDC_EXCHANGE_B,
     IDC_EXCHANGE_B},
    {"Tab leaves the group to the next stop",
     IDC_EXCHANGE_B,
     IDC_CALCULATE,
     {Key::Tab, Key::Tab},
     false,
     IDC_SETTINGS,
     IDC_EXCHANGE_B},
    {"Shift+Tab leaves the group to the stop before",
     IDC_EXCHANGE_B,
     IDC_SETTINGS,
     {Key::BackTab, Key::BackTab},
     false,
     IDC_CALCULATE,
     IDC_EXCHANGE_B},
    {"Right moves and checks",
     IDC_EXCHANGE_A,
     IDC_CALCULATE,
     {Key::Tab, Key::Right},
     false,
     IDC_EXCHANGE_B,
     IDC_EXCHANGE_B},
    {"Left goes round the two exchanges only",
     IDC_EXCHANGE_A,
     IDC_CALCULATE,
     {Key::Tab, Key::Left},
     false,
     IDC_EXCHANGE_B,
     IDC_EXCHANGE_B},
    {"the result field is no tab stop",
     IDC_EXCHANGE_A,
     IDC_SELL_PRICE,
     {Key::Tab},
     false,
     IDC_CALCULATE,
     IDC_EXCHANGE_A},
    {"Shift+Tab from Calculate reaches the sell price, selected",
     IDC_EXCHANGE_A,
     IDC_CALCULATE,
     {Key::BackTab},
     true,
     IDC_SELL_PRICE,
     IDC_EXCHANGE_A},
    // Calculate, the quantity unreadable: the old value is shown again, wholly selected, so that
    // typing replaces it.
    {"a field that cannot be read is selected whole",
     IDC_EXCHANGE_A,
     IDC_CALCULATE,
     {Key::Space},
     true,
     IDC_QUANTITY,
     IDC_EXCHANGE_A},
};

class Keyboard : public Calculator, public testing::WithParamInterface<KeyCase> {};

TEST_P(Keyboard, ReachesTheControlAndKeepsTheExchange) {
    Drive([row = GetParam()](Window dialog) {
        Click(dialog, row.checked);
        const bool unreadable = row.focus == IDC_QUANTITY;
        if (unreadable) {
            Type(dialog, IDC_QUANTITY, "x");
        }
        Focus(dialog, row.start);
        for (const Key key : row.keys) {
            if (unreadable) {
                PressLater(key);
                EXPECT_FALSE(AcceptMessage().empty());
                ASSERT_TRUE(WaitForReturnTo(dialog));
            } else {
                Press(key);
            }
        }
        EXPECT_EQ(FocusedId(dialog), row.focus);
        EXPECT_TRUE(Checked(dialog, row.checkedAfter));
        if (row.selected) {
            EXPECT_EQ(SelectedText(dialog, row.focus), "0");
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Table, Keyboard, testing::ValuesIn(KEYS), support::RowName{});

// The fee rate dialog opens on the rates in force; what the user types there takes effect only
// with OK, and only a confirmed save writes Set.ini. The result stays until the next Calculate.
struct FeeRateCase {
    const char* name;
    std::array<const char*, 3> typed;  // nullptr: left as it is
    int button;
    const char* message;  // a part of the one message expected; nullptr: none
    const char* summary;
    double commission;  // per mille, in force afterwards
    std::string file;   // Set.ini afterwards: "" none, "/" a folder in its place
};

const FeeRateCase FEE_RATES[] = {
    {"confirmed",
     {"2", nullptr, "-1"},
     ID_OK,
     nullptr,
     "佣金2.00‰,花税1.00‰,过户费-1.00‰",
     2,
     "[SET]" + NL + "COMMISION=2.00" + NL + "STAMPDUTY=1.00" + NL + "TRANSFER=-1.00" + NL},
    {"cancelled", {"9", nullptr, nullptr}, ID_CANCEL, nullptr, DEFAULT_SUMMARY.c_str(), 1.5, ""},
    // Told once, not once for each read, and the dialog stays open on the field.
    {"unreadable", {"9", "x", nullptr}, ID_OK, "数字", DEFAULT_SUMMARY.c_str(), 1.5, ""},
    // The new rates apply for the run; the message names the file.
    {"not saved",
     {"3", nullptr, nullptr},
     ID_OK,
     "Set.ini",
     "佣金3.00‰,花税1.00‰,过户费1.00‰",
     3,
     "/"},
};

class FeeRates : public Calculator, public testing::WithParamInterface<FeeRateCase> {};

TEST_P(FeeRates, TakeEffectOnlyWhenConfirmed) {
    const FeeRateCase& row = GetParam();
    if (row.file == "/") {
        std::filesystem::create_directory(SettingsFile());
    }
    Drive([&row](Window dialog) {
        Click(dialog, IDC_CALCULATE);
        ClickLater(dialog, IDC_SETTINGS);
        const Window rates = WaitForDialog(dialog);
        ASSERT_NE(rates, nullptr);
        EXPECT_EQ(Caption(rates), "参数设置");
        EXPECT_EQ(Text(rates, IDC_COMMISSION_RATE), "1.5");
        EXPECT_EQ(Text(rates, IDC_STAMP_DUTY_RATE), "1");
        EXPECT_EQ(Text(rates, IDC_TRANSFER_RATE), "1");
        EXPECT_EQ(FocusedId(rates), IDC_COMMISSION_RATE);
        const std::array<int, 3> fields{IDC_COMMISSION_RATE, IDC_STAMP_DUTY_RATE,
                                        IDC_TRANSFER_RATE};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (row.typed[i] != nullptr) {
                Type(rates, fields[i], row.typed[i]);
            }
        }
        ClickLater(rates, row.button);
        if (row.message != nullptr) {
            EXPECT_NE(AcceptMessage().find(row.message), std::string::npos);
        }
        if (row.file.empty() && row.message != nullptr) {
            ASSERT_TRUE(WaitForReturnTo(rates));
            EXPECT_EQ(FocusedId(rates), IDC_STAMP_DUTY_RATE);
            ClickLater(rates, ID_CANCEL);
        }
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Text(dialog, IDC_RATE_SUMMARY), row.summary);
        EXPECT_EQ(Text(dialog, IDC_NET_PROFIT), "-12");
    });
    EXPECT_EQ(calculator.Schedule().commissionRate,
              trellan::FromPerMille(trellan::PerMille{row.commission}));
    if (row.file == "/") {
        EXPECT_TRUE(std::filesystem::is_directory(SettingsFile()));
    } else if (row.file.empty()) {
        EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    } else {
        EXPECT_EQ(support::ReadFile(SettingsFile()), row.file);
        EXPECT_EQ(trellan::LoadFeeSchedule(SettingsFile().string().c_str()).commissionRate,
                  calculator.Schedule().commissionRate);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FeeRates, testing::ValuesIn(FEE_RATES), support::RowName{});

// Each rule set keeps its own rates in the same three fields; OK saves both and the choice,
// Cancel changes nothing, and a restart keeps it all.
TEST_F(Calculator, TodaysRulesTickedEditedAndKept) {
    Drive([](Window dialog) {
        ClickLater(dialog, IDC_SETTINGS);
        Window rates = WaitForDialog(dialog);
        ASSERT_NE(rates, nullptr);
        EXPECT_FALSE(Checked(rates, IDC_RULES_2023));
        EXPECT_FALSE(Enabled(rates, IDC_MIN_COMMISSION));
        Focus(rates, ID_CANCEL);
        PressLater(Key::Tab);
        EXPECT_TRUE(WaitUntil([rates] { return FocusedId(rates) == IDC_RULES_2023; }));
        PressLater(Key::Space);
        EXPECT_TRUE(WaitUntil([rates] { return Text(rates, IDC_COMMISSION_RATE) == "0.25"; }));
        EXPECT_EQ(Text(rates, IDC_STAMP_DUTY_RATE), "0.5");
        EXPECT_EQ(Text(rates, IDC_TRANSFER_RATE), "0.01");
        EXPECT_EQ(Text(rates, IDC_MIN_COMMISSION), "5");
        PressLater(Key::Tab);
        EXPECT_TRUE(WaitUntil([rates] { return FocusedId(rates) == IDC_MIN_COMMISSION; }));
        Type(rates, IDC_MIN_COMMISSION, "0");
        Type(rates, IDC_COMMISSION_RATE, "0.3");
        Click(rates, IDC_RULES_2023);  // the classic rates come back
        EXPECT_EQ(Text(rates, IDC_COMMISSION_RATE), "1.5");
        EXPECT_FALSE(Enabled(rates, IDC_MIN_COMMISSION));
        Click(rates, IDC_RULES_2023);  // and today's as edited
        EXPECT_EQ(Text(rates, IDC_COMMISSION_RATE), "0.3");
        Type(rates, IDC_COMMISSION_RATE, "x");  // told, and nothing typed is lost
        ClickLater(rates, IDC_RULES_2023);
        EXPECT_NE(AcceptMessage(), "");
        ASSERT_TRUE(WaitForReturnTo(rates));
        EXPECT_TRUE(Checked(rates, IDC_RULES_2023));
        EXPECT_EQ(Text(rates, IDC_COMMISSION_RATE), "x");
        EXPECT_EQ(FocusedId(rates), IDC_COMMISSION_RATE);
        Type(rates, IDC_COMMISSION_RATE, "0.25");
        ClickLater(rates, ID_OK);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Text(dialog, IDC_RATE_SUMMARY), SUMMARY_2023);
        ClickLater(dialog, IDC_SETTINGS);
        rates = WaitForDialog(dialog);
        ASSERT_NE(rates, nullptr);
        EXPECT_TRUE(Checked(rates, IDC_RULES_2023));
        EXPECT_EQ(Text(rates, IDC_MIN_COMMISSION), "0");
        Type(rates, IDC_MIN_COMMISSION, "9");
        Click(rates, IDC_RULES_2023);
        ClickLater(rates, ID_CANCEL);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_EQ(Text(dialog, IDC_RATE_SUMMARY), SUMMARY_2023);
    });
    EXPECT_EQ(support::ReadFile(SettingsFile()),
              "[SET]" + NL + "COMMISION=1.50" + NL + "STAMPDUTY=1.00" + NL + "TRANSFER=1.00" + NL +
                  "RULES=2023" + NL + NL + "[SET2023]" + NL + "COMMISION=0.25" + NL +
                  "STAMPDUTY=0.50" + NL + "TRANSFER=0.01" + NL + "MINCOMMISSION=0.00" + NL);
    CProfitCalcDlg restarted;
    RunDriven(restarted, [](Window dialog) {
        EXPECT_EQ(Text(dialog, IDC_RATE_SUMMARY), SUMMARY_2023);
        TypeTrade(dialog, "10", "1000", "11");
        Click(dialog, IDC_CALCULATE);
        EXPECT_EQ(Text(dialog, IDC_NET_PROFIT), "989.04");
    });
}

// The fee details of a trade as every backend must show them.
// The controls whose texts a row gives, in its order.
constexpr std::array<int, 12> DETAIL_IDS{
    IDC_DETAIL_BUY_COMMISSION,  IDC_DETAIL_SELL_COMMISSION, IDC_DETAIL_BUY_STAMP_DUTY,
    IDC_DETAIL_SELL_STAMP_DUTY, IDC_DETAIL_BUY_TRANSFER,    IDC_DETAIL_SELL_TRANSFER,
    IDC_DETAIL_TOTAL_FEES,      IDC_DETAIL_GROSS,           IDC_DETAIL_NET,
    IDC_DETAIL_BREAK_EVEN,      IDC_DETAIL_RETURN,          IDC_DETAIL_NOTE};

struct FeeDetailCase {
    const char* name;
    const char* settings;  // the text of Set.ini; nullptr: none
    const char* buy;       // nullptr: the details are opened before any Calculate
    const char* quantity;
    const char* sell;
    bool viaMenu;  // opened from the system menu rather than the "…" button
    std::array<const char*, DETAIL_IDS.size()> texts;
};

constexpr const char* RULES_2023_FILE = "[SET]\r\nRULES=2023\r\n";

const FeeDetailCase FEE_DETAILS[] = {
    {"before any calculation",
     nullptr,
     nullptr,
     nullptr,
     nullptr,
     false,
     {"", "", "", "", "", "", "", "", "", "", "", "尚未计算：请先按“计  算”。"}},
    {"classic rules",
     nullptr,
     "10",
     "1000",
     "11",
     false,
     {"15.00", "16.50", "10.00", "11.00", "1.00", "1.00", "54.50", "1000.00", "945.5", "10.06",
      "9.43%", "按原有规则计算。"}},
    {"today's rules, from the menu",
     RULES_2023_FILE,
     "10",
     "1000",
     "11",
     true,
     {"5.00", "5.00", "0.00", "5.50", "0.10", "0.11", "15.71", "1000.00", "984.29", "10.02",
      "9.84%", "按现行规则（2023年8月28日起）计算。"}},
    {"no shares, no break-even price, no minus zero",
     nullptr,
     "10",
     "0",
     "9",
     false,
     {"5.00", "5.00", "0.00", "0.00", "1.00", "1.00", "12.00", "0.00", "-12", "—", "-200.00%",
      "按原有规则计算。"}},
    {"not finite",
     nullptr,
     "1e308",
     "-2147483648",
     "-1e308",
     true,
     {"", "", "", "", "", "", "", "", "", "", "", "结果不是有限数，无法列出明细。"}},
};

class FeeDetails : public Calculator, public testing::WithParamInterface<FeeDetailCase> {};

// The details of the last calculation, from the "…" button or the system menu's last item:
// every fee to the cent, the result field's own text, the break-even sell price and the return.
TEST_P(FeeDetails, ShowEveryFeeOfTheLastCalculation) {
    const FeeDetailCase& row = GetParam();
    if (row.settings != nullptr) {
        support::WriteFile(SettingsFile(), row.settings);
    }
    Drive([&row](Window dialog) {
        if (row.buy != nullptr) {
            TypeTrade(dialog, row.buy, row.quantity, row.sell);
            Click(dialog, IDC_CALCULATE);
        }
        if (row.viaMenu) {
            EXPECT_EQ(SystemMenu(dialog).back(), "费用明细(&D)...");
            SystemCommandLater(dialog, IDM_DETAILS);
        } else {
            ClickLater(dialog, IDC_DETAILS);
        }
        const Window details = WaitForDialog(dialog);
        ASSERT_NE(details, nullptr);
        EXPECT_EQ(Caption(details), "费用明细");
        for (std::size_t i = 0; i < DETAIL_IDS.size(); ++i) {
            EXPECT_EQ(Text(details, DETAIL_IDS[i]), row.texts[i]) << DETAIL_IDS[i];
        }
        PressLater(Key::Enter);  // the default button: OK
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_TRUE(WaitUntilClosed(details));
    });
}

INSTANTIATE_TEST_SUITE_P(Table, FeeDetails, testing::ValuesIn(FEE_DETAILS), support::RowName{});

// The About button and the system menu's item (its command also with the low four bits
// that the system may set) show a new About box each time; Enter or Escape closes it and the
// calculator comes back as it was.
struct AboutCase {
    const char* name;
    unsigned command;  // sent from the system menu; 0: the About button
    Key key;
};

const AboutCase ABOUT[] = {
    {"button, Enter", 0, Key::Enter},
    {"button, Escape", 0, Key::Escape},
    {"system menu, Escape", IDM_ABOUTBOX, Key::Escape},
    {"system menu with low bits, Enter", IDM_ABOUTBOX | 3, Key::Enter},
};

class AboutBox : public Calculator, public testing::WithParamInterface<AboutCase> {};

TEST_P(AboutBox, ComesAndGoes) {
    Drive([row = GetParam()](Window dialog) {
        // The About item follows a separator of its own.
        const std::vector<std::string> menu = SystemMenu(dialog);
        const auto about = std::find(menu.begin(), menu.end(), "关于 Trellan(&A)...");
        ASSERT_NE(about, menu.end());
        EXPECT_EQ(*std::prev(about), "");
        Type(dialog, IDC_BUY_PRICE, "7");
        if (row.command == 0) {
            ClickLater(dialog, IDC_ABOUT);
        } else {
            SystemCommandLater(dialog, row.command);
        }
        const Window box = WaitForDialog(dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Caption(box), "关于 Quorim");
        EXPECT_TRUE(HasLabel(box, TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT " 版"));
        EXPECT_EQ(FocusedId(box), ID_OK);
        PressLater(row.key);
        ASSERT_TRUE(WaitForReturnTo(dialog));
        EXPECT_TRUE(WaitUntilClosed(box));
        EXPECT_EQ(Text(dialog, IDC_BUY_PRICE), "7");
    });
}

INSTANTIATE_TEST_SUITE_P(Table, AboutBox, testing::ValuesIn(ABOUT), support::RowName{});

}  // namespace
}  // namespace gui
