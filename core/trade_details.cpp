#include "core/trade_details.h"

#include <cmath>

namespace trellan {
namespace {

// Each fee formed as the calculation forms it: (quantity x rate) x price.
SideFees ClassicSide(const TradeEntry& entry, const FeeSchedule& schedule, double price) {
    const auto shares = static_cast<double>(entry.quantity);
    SideFees fees;
    fees.commission = AtLeast(shares * schedule.commissionRate * price, MIN_COMMISSION);
    fees.stampDuty = shares * schedule.stampDutyRate * price;
    if (entry.exchangeIndex != SECOND_EXCHANGE) {
        fees.transferFee = AtLeast(shares * schedule.transferRate, MIN_TRANSFER_FEE);
    }
    return fees;
}

SideFees Side2023(const TradeEntry& entry, const FeeSchedule2023& schedule, double price,
                  bool selling) {
    const auto shares = static_cast<double>(entry.quantity);
    SideFees fees;
    fees.commission = AtLeast(shares * schedule.commissionRate * price, schedule.minCommission);
    fees.stampDuty = selling ? shares * schedule.stampDutyRate * price : 0.0;
    fees.transferFee = shares * schedule.transferRate * price;
    return fees;
}

double SideTotal(const SideFees& fees) {
    return fees.commission + fees.stampDuty + fees.transferFee;
}

}  // namespace

std::optional<double> BreakEvenSellPrice(const TradeEntry& entry, const RatesInForce& rates) {
    if (entry.quantity <= 0) {
        return std::nullopt;
    }
    const auto evenAt = [&entry, &rates](std::int64_t cents) {
        TradeEntry trial = entry;
        trial.sellPrice = static_cast<double>(cents) / 100.0;
        return NetProfitUnder(trial, rates) >= 0.0;
    };
    // The answer lies in [low, high]; high itself stands for "none below the limit".
    std::int64_t low = 0;
    std::int64_t high = BREAK_EVEN_CENT_LIMIT;
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (evenAt(middle)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    if (low == BREAK_EVEN_CENT_LIMIT) {
        return std::nullopt;
    }
    return static_cast<double>(low) / 100.0;
}

TradeDetails DescribeTrade(const TradeEntry& entry, const RatesInForce& rates) {
    TradeDetails details;
    if (rates.rules == FeeRules::Since2023) {
        details.buy = Side2023(entry, rates.since2023, entry.buyPrice, false);
        details.sell = Side2023(entry, rates.since2023, entry.sellPrice, true);
    } else {
        details.buy = ClassicSide(entry, rates.classic, entry.buyPrice);
        details.sell = ClassicSide(entry, rates.classic, entry.sellPrice);
    }
    details.totalFees = SideTotal(details.buy) + SideTotal(details.sell);
    details.gross = static_cast<double>(entry.quantity) * (entry.sellPrice - entry.buyPrice);
    details.net = NetProfitUnder(entry, rates);
    details.breakEvenPrice = BreakEvenSellPrice(entry, rates);
    const double cost =
        static_cast<double>(entry.quantity) * entry.buyPrice + SideTotal(details.buy);
    const double percent = details.net / cost * 100.0;
    if (cost > 0.0 && std::isfinite(percent)) {
        details.returnPercent = percent;
    }
    return details;
}

}  // namespace trellan
