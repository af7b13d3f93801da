#pragma once

#include <cstdint>

#include "core/fee_schedule.h"
#include "core/side_fees.h"

namespace trellan {

// Position of the checked exchange button: only SECOND_EXCHANGE waives the transfer fee, every
// other value (NO_EXCHANGE included) is charged as the first exchange.
using ExchangeIndex = std::int32_t;
inline constexpr ExchangeIndex NO_EXCHANGE = -1;
inline constexpr ExchangeIndex FIRST_EXCHANGE = 0;
inline constexpr ExchangeIndex SECOND_EXCHANGE = 1;

inline constexpr double MIN_COMMISSION = 5.0;    // least commission per side
inline constexpr double MIN_TRANSFER_FEE = 1.0;  // least transfer fee per side

// One round-trip trade as the calculator window holds it. Nothing here is validated.
struct TradeEntry {
    double buyPrice = 0.0;
    std::int32_t quantity = 0;
    double sellPrice = 0.0;
    double netResult = 0.0;
    ExchangeIndex exchangeIndex = FIRST_EXCHANGE;
};

// A fee below its minimum is raised to it; so is a NaN, which compares as nothing. A fee equal
// to its minimum stays.
constexpr double AtLeast(double fee, double minimum) {
    return fee >= minimum ? fee : minimum;
}

// The gross gain: the quantity times the difference of the prices.
constexpr double GrossGain(const TradeEntry& entry) {
    return static_cast<double>(entry.quantity) * (entry.sellPrice - entry.buyPrice);
}

// The classic fees of both sides: commission and stamp duty on the traded value, and on any
// exchange but the second a transfer fee per share.
TradeFees ClassicFees(const TradeEntry& entry, const FeeSchedule& schedule);

// Gross gain less the fees of both sides, in plain double arithmetic, in a fixed order.
double CalculateNetProfit(const TradeEntry& entry, const FeeSchedule& schedule);

}  // namespace trellan
