#pragma once

#include <array>

#include "res/resource_ids.h"

// The fee details of a trade as each window backend must show them, shared by their tests.
namespace gui {

// The controls whose texts a row gives, in its order.
inline constexpr std::array<int, 12> DETAIL_IDS{res::IDC_DETAIL_BUY_COMMISSION,
                                                res::IDC_DETAIL_SELL_COMMISSION,
                                                res::IDC_DETAIL_BUY_STAMP_DUTY,
                                                res::IDC_DETAIL_SELL_STAMP_DUTY,
                                                res::IDC_DETAIL_BUY_TRANSFER,
                                                res::IDC_DETAIL_SELL_TRANSFER,
                                                res::IDC_DETAIL_TOTAL_FEES,
                                                res::IDC_DETAIL_GROSS,
                                                res::IDC_DETAIL_NET,
                                                res::IDC_DETAIL_BREAK_EVEN,
                                                res::IDC_DETAIL_RETURN,
                                                res::IDC_DETAIL_NOTE};

struct FeeDetailCase {
    const char* name;
    const char* settings;  // the text of Set.ini; nullptr: none
    const char* buy;       // nullptr: the details are opened before any Calculate
    const char* quantity;
    const char* sell;
    bool viaMenu;  // opened from the system menu rather than the "…" button
    std::array<const char*, DETAIL_IDS.size()> texts;
};

inline constexpr const char* RULES_2023_FILE = "[SET]\r\nRULES=2023\r\n";

inline constexpr std::array<FeeDetailCase, 5> FEE_DETAILS{{
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
}};

}  // namespace gui
