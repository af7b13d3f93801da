#include "core/fee_rules.h"

namespace trellan {

namespace {

enum class TradeSide { Buy, Sell };

// Every line is one rounded double operation, and each fee is formed as (quantity x rate) x
// price; another grouping changes the last bits, so keep it exactly as written.
SideFees SideFees2023(const FeeSchedule2023& schedule, std::int32_t quantity, double price,
                      TradeSide side) {
    const auto shares = static_cast<double>(quantity);
    SideFees fees;
    fees.commission = AtLeast((shares * schedule.commissionRate) * price, schedule.minCommission);
    fees.transferFee = (shares * schedule.transferRate) * price;
    fees.stampDutyCharged = side == TradeSide::Sell;
    if (fees.stampDutyCharged) {
        fees.stampDuty = (shares * schedule.stampDutyRate) * price;
    }
    return fees;
}

}  // namespace

TradeFees Fees2023(const TradeEntry& entry, const FeeSchedule2023& schedule) {
    return {SideFees2023(schedule, entry.quantity, entry.buyPrice, TradeSide::Buy),
            SideFees2023(schedule, entry.quantity, entry.sellPrice, TradeSide::Sell)};
}

double CalculateNetProfit2023(const TradeEntry& entry, const FeeSchedule2023& schedule) {
    return NetOfFees(GrossGain(entry), Fees2023(entry, schedule));
}

TradeFees FeesUnder(const TradeEntry& entry, const RatesInForce& rates) {
    return rates.rules == FeeRules::Since2023 ? Fees2023(entry, rates.since2023)
                                              : ClassicFees(entry, rates.classic);
}

void FormatRateSummaryUnder(const RatesInForce& rates,
                            std::span<char, SUMMARY_BUFFER_SIZE> buffer) {
    if (rates.rules == FeeRules::Since2023) {
        FormatRateSummary2023(rates.since2023, buffer);
    } else {
        FormatRateSummary(rates.classic, buffer);
    }
}

double NetProfitUnder(const TradeEntry& entry, const RatesInForce& rates) {
    return rates.rules == FeeRules::Since2023 ? CalculateNetProfit2023(entry, rates.since2023)
                                              : CalculateNetProfit(entry, rates.classic);
}

}  // namespace trellan
