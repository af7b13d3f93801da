#pragma once

#include "core/fee_schedule.h"
#include "core/net_profit.h"

namespace trellan {

// Which fee rules a calculation follows: the classic ones, or those in force since 2023-08-28
// (stamp duty on the sell side only, a transfer fee in proportion to the traded value on both
// exchanges, a minimum commission the user sets).
enum class FeeRules { Classic, Since2023 };

// The rates of today's rules, as fractions, and the least commission per side. Any double is
// accepted.
struct FeeSchedule2023 {
    double commissionRate = FromPerMille(PerMille{0.25});  // of the traded value, each side
    double stampDutyRate = FromPerMille(PerMille{0.5});    // of the traded value, sell side only
    double transferRate =
        FromPerMille(PerMille{0.01});       // of the traded value, each side, any exchange
    double minCommission = MIN_COMMISSION;  // least commission per side; 0 for none
};

// Both rule sets and the choice between them: what every calculation is made with.
struct RatesInForce {
    FeeRules rules = FeeRules::Classic;
    FeeSchedule classic;
    FeeSchedule2023 since2023;
};

// The summary line of today's rules, "现行佣0.25‰,印花0.50‰,过户0.01‰", written as the classic
// line is (FormatRateSummary) and never longer than it.
void FormatRateSummary2023(const FeeSchedule2023& schedule,
                           std::span<char, SUMMARY_BUFFER_SIZE> buffer);

// The summary line of the rules in force.
void FormatRateSummaryUnder(const RatesInForce& rates, std::span<char, SUMMARY_BUFFER_SIZE> buffer);

// Today's fees of both sides: commission and transfer fee on the traded value, stamp duty on the
// sell side only. The exchange does not matter.
TradeFees Fees2023(const TradeEntry& entry, const FeeSchedule2023& schedule);

// Gross gain less today's fees, in plain double arithmetic, in a fixed order.
double CalculateNetProfit2023(const TradeEntry& entry, const FeeSchedule2023& schedule);

// Both sides' fees under the rules in force, as the net result is made from them.
TradeFees FeesUnder(const TradeEntry& entry, const RatesInForce& rates);

// The net result under the rules in force: CalculateNetProfit or CalculateNetProfit2023.
double NetProfitUnder(const TradeEntry& entry, const RatesInForce& rates);

}  // namespace trellan
