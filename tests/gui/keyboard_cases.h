#pragma once

#include <array>

#include "res/resource_ids.h"

// The calculator window from the keyboard, shared by the tests of every window backend: which
// control a key sequence reaches and what it leaves checked or typed. The tab stops in order are
// the three fields, Calculate, the exchange group, "*" and About; the result field is none.
namespace gui {

struct KeyCase {
    const char* name;
    int checked;  // the exchange button checked before the keys
    int start;    // the control focused before the keys
    // Pressed in turn, separated by blanks: Tab, BackTab (Shift+Tab), Left, Right, Space, or one
    // character typed; a trailing "!" on a key: it brings up a message, which is accepted.
    const char* keys;
    int focus;  // the control with the focus afterwards
    int checkedAfter;
    int field = 0;  // a field whose text is then checked, if not 0
    const char* text = nullptr;
};

inline constexpr std::array<KeyCase, 11> KEY_CASES{{
    {"Tab enters the group at the checked second button", res::IDC_EXCHANGE_B, res::IDC_CALCULATE,
     "Tab", res::IDC_EXCHANGE_B, res::IDC_EXCHANGE_B},
    {"Tab enters the group at the checked first button", res::IDC_EXCHANGE_A, res::IDC_CALCULATE,
     "Tab", res::IDC_EXCHANGE_A, res::IDC_EXCHANGE_A},
    {"Space on the entered group keeps the exchange", res::IDC_EXCHANGE_B, res::IDC_CALCULATE,
     "Tab Space", res::IDC_EXCHANGE_B, res::IDC_EXCHANGE_B},
    {"Shift+Tab enters the group at the checked button", res::IDC_EXCHANGE_B, res::IDC_SETTINGS,
     "BackTab", res::IDC_EXCHANGE_B, res::IDC_EXCHANGE_B},
    {"Tab leaves the group to the next stop", res::IDC_EXCHANGE_B, res::IDC_CALCULATE, "Tab Tab",
     res::IDC_SETTINGS, res::IDC_EXCHANGE_B},
    {"Shift+Tab leaves the group to the stop before", res::IDC_EXCHANGE_B, res::IDC_SETTINGS,
     "BackTab BackTab", res::IDC_CALCULATE, res::IDC_EXCHANGE_B},
    {"Right moves and checks", res::IDC_EXCHANGE_A, res::IDC_CALCULATE, "Tab Right",
     res::IDC_EXCHANGE_B, res::IDC_EXCHANGE_B},
    {"Left wraps round the group", res::IDC_EXCHANGE_A, res::IDC_CALCULATE, "Tab Left",
     res::IDC_EXCHANGE_B, res::IDC_EXCHANGE_B},
    {"the result field is no tab stop", res::IDC_EXCHANGE_A, res::IDC_SELL_PRICE, "Tab",
     res::IDC_CALCULATE, res::IDC_EXCHANGE_A},
    {"Tab from About goes round to the buy price", res::IDC_EXCHANGE_A, res::IDC_ABOUT, "Tab 7",
     res::IDC_BUY_PRICE, res::IDC_EXCHANGE_A, res::IDC_BUY_PRICE, "7"},
    // The quantity reads "x": after the message the old value is shown, wholly selected, so
    // that typing replaces it.
    {"a field that cannot be read is selected whole", res::IDC_EXCHANGE_A, res::IDC_QUANTITY,
     "x Tab Tab Space! 7", res::IDC_QUANTITY, res::IDC_EXCHANGE_A, res::IDC_QUANTITY, "7"},
}};

}  // namespace gui
