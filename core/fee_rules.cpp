#include "core/fee_rules.h"

namespace trellan {

// Every line is one rounded double operation; the grouping of the sums shows in the last bits,
// so keep it exactly as written.
double CalculateNetProfit2023(const TradeEntry& entry, const FeeSchedule2023& schedule) {
    const auto shares = static_cast<double>(entry.quantity);
    const double buy = entry.buyPrice;
    const double sell = entry.sellPrice;

    const double gross = shares * (sell - buy);
    const double sharesCommission = shares * schedule.commissionRate;
    const double sharesTransfer = shares * schedule.transferRate;
    const double sharesStampDuty = shares * schedule.stampDutyRate;

    const double buyCommission = AtLeast(sharesCommission * buy, schedule.minCommission);
    const double buyTransfer = sharesTransfer * buy;
    const double afterBuy = gross - (buyTransfer + buyCommission);

    const double sellCommission = AtLeast(sharesCommission * sell, schedule.minCommission);
    const double sellTransfer = sharesTransfer * sell;
    const double sellStampDuty = sharesStampDuty * sell;
    return afterBuy - ((sellTransfer + sellStampDuty) + sellCommission);
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
