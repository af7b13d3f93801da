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
    // All fees of both sides per mille of the value traded, bought and sold.
    std::optional<double> feeRatePerMille;
};

// Sell prices are searched in whole cents below this many.
inline constexpr std::int64_t SELL_PRICE_CENT_LIMIT = 1'000'000'000;  // a price of 10^7

// The buy side's cost: the value bought and the buy side's fees.
double BuyCost(const TradeEntry& entry, const RatesInForce& rates);

// The lowest sell price in whole cents (k / 100.0) at which the calculation itself gives a net
// result of at least targetPercent / 100 of the buy side's cost, the rest of the trade
// unchanged; none when the quantity is not positive or no such price lies below 10^7. A target
// of 0 gives the break-even price. The result grows with the sell price for a positive
// quantity, so a bisection finds it.
std::optional<double> SellPriceForReturn(const TradeEntry& entry, const RatesInForce& rates,
                                         double targetPercent);

TradeDetails DescribeTrade(const TradeEntry& entry, const RatesInForce& rates);

// Whether the six fees, each shown to the cent (FormatMoney), add up to their total shown so.
// Each is rounded on its own, so now and then they are a cent or two apart.
bool FeesAddUpAsShown(const TradeDetails& details);

}  // namespace trellan
