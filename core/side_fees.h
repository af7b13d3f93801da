#pragma once

namespace trellan {

// The fees of one side of a trade, each as the rules form it. A fee the rules do not charge on
// that side is absent from the side's total, not a zero added to it: the sums' grouping shows
// in the last bits of the result.
struct SideFees {
    double commission = 0.0;
    double stampDuty = 0.0;
    double transferFee = 0.0;
    bool stampDutyCharged = true;
    bool transferFeeCharged = true;
};

// The side's fees summed as every calculation sums them: transfer fee, then stamp duty, then
// commission, each only where charged.
constexpr double SideTotal(const SideFees& fees) {
    if (fees.transferFeeCharged && fees.stampDutyCharged) {
        return (fees.transferFee + fees.stampDuty) + fees.commission;
    }
    if (fees.transferFeeCharged) {
        return fees.transferFee + fees.commission;
    }
    if (fees.stampDutyCharged) {
        return fees.stampDuty + fees.commission;
    }
    return fees.commission;
}

// Both sides of one trade.
struct TradeFees {
    SideFees buy;
    SideFees sell;
};

// The net result of a trade: its gross gain less the buy side's fees, then less the sell side's.
constexpr double NetOfFees(double gross, const TradeFees& fees) {
    return (gross - SideTotal(fees.buy)) - SideTotal(fees.sell);
}

}  // namespace trellan
