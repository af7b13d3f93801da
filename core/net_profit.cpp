#include "core/net_profit.h"

namespace trellan {

namespace {

// Every line is one rounded double operation, and each fee is formed as (quantity x rate) x
// price; another grouping changes the last bits, so keep it exactly as written.
SideFees ClassicSideFees(const TradeEntry& entry, const FeeSchedule& schedule, double price) {
    const auto shares = static_cast<double>(entry.quantity);
    SideFees fees;
    fees.commission = AtLeast((shares * schedule.commissionRate) * price, MIN_COMMISSION);
    fees.stampDuty = (shares * schedule.stampDutyRate) * price;
    fees.transferFeeCharged = entry.exchangeIndex != SECOND_EXCHANGE;
    if (fees.transferFeeCharged) {
        // Charged per share, so both sides pay the same amount.
        fees.transferFee = AtLeast(shares * schedule.transferRate, MIN_TRANSFER_FEE);
    }
    return fees;
}

TradeFees BothSides(const TradeEntry& entry, const FeeSchedule& schedule) {
    return {ClassicSideFees(entry, schedule, entry.buyPrice),
            ClassicSideFees(entry, schedule, entry.sellPrice)};
}

}  // namespace

TradeFees ClassicFees(const TradeEntry& entry, const FeeSchedule& schedule) {
    return BothSides(entry, schedule);
}

double CalculateNetProfit(const TradeEntry& entry, const FeeSchedule& schedule) {
    return NetOfFees(GrossGain(entry), BothSides(entry, schedule));
}

}  // namespace trellan
