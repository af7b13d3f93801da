#pragma once

#include <cstdint>
#include <optional>

#include "core/fee_rules.h"

namespace trellan {

// What one calculation came to, fee by fee, as the details of the calculator window show it.
struct TradeDetails {
    SideFees buy;
    SideFees sell;
    double totalFees = 0.0;  // the buy side's total, then the sell side's
    double gross = 0.0;
    double net = 0.0;                 // bit for bit the calculator's result
    std::optional<double> costPrice;  // the buy side's cost per share: value and fees
    std::optional<double> breakEvenPrice;
    std::optional<double> returnPercent;  // net as a percentage of the buy side's cost
};

// Break-even prices are searched in whole cents below this many.
inline constexpr std::int64_t BREAK_EVEN_CENT_LIMIT = 1'000'000'000;  // a price of 10^7

// The lowest sell price in whole cents (k / 100.0) at which the calculation itself gives a net
// result of at least zero, the rest of the trade unchanged; none when the quantity is not
// positive or no such price lies below 10^7. The result grows with the sell price for a
// positive quantity, so a bisection finds it.
std::optional<double> BreakEvenSellPrice(const TradeEntry& entry, const RatesInForce& rates);

TradeDetails DescribeTrade(const TradeEntry& entry, const RatesInForce& rates);

// Whether the six fees, each shown to the cent (FormatMoney), add up to their total shown so.
// Each is rounded on its own, so now and then they are a cent or two apart.
bool FeesAddUpAsShown(const TradeDetails& details);

}  // namespace trellan
