#include "core/net_profit.h"

namespace trellan {

// Every line is one rounded double operation; the grouping of the sums is part of the result
// (another grouping changes the last bits), so keep it exactly as written.
double CalculateNetProfit(const TradeEntry& entry, const FeeSchedule& schedule) {
    const auto shares = static_cast<double>(entry.quantity);
    const double buy = entry.buyPrice;
    const double sell = entry.sellPrice;

    const double gross = shares * (sell - buy);
    const double sharesCommission = shares * schedule.commissionRate;
    const double sharesStampDuty = shares * schedule.stampDutyRate;

    const double buyCommission = AtLeast(sharesCommission * buy, MIN_COMMISSION);
    const double buyStampDuty = sharesStampDuty * buy;

    if (entry.exchangeIndex == SECOND_EXCHANGE) {
        const double afterBuy = gross - (buyStampDuty + buyCommission);
        const double sellCommission = AtLeast(sharesCommission * sell, MIN_COMMISSION);
        const double sellStampDuty = sharesStampDuty * sell;
        return afterBuy - (sellStampDuty + sellCommission);
    }

    // The transfer fee is charged per share, so both sides pay the same amount.
    const double transferFee = AtLeast(shares * schedule.transferRate, MIN_TRANSFER_FEE);
    const double afterBuy = gross - ((transferFee + buyStampDuty) + buyCommission);
    const double sellCommission = AtLeast(sharesCommission * sell, MIN_COMMISSION);
    const double sellStampDuty = sharesStampDuty * sell;
    return afterBuy - ((transferFee + sellStampDuty) + sellCommission);
}

}  // namespace trellan
