#include "core/net_profit.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

#include "core/fee_rules.h"

namespace trellan {
namespace {

struct Trade {
    const char* name;
    double buy;
    std::int32_t quantity;
    double sell;
    ExchangeIndex exchange;
    std::uint64_t expectedBits;
    RatesInForce rates = {};  // the classic rules at the initial rates unless given
};

std::ostream& operator<<(std::ostream& out, const Trade& row) {
    return out << row.name;
}

// Expected results as bit patterns: every last bit matters.
// Today's rules at 0.25, 0.50 and 0.01 per mille (the commission as given) and a minimum.
RatesInForce Since2023(double minCommission, double commissionPerMille = 0.25) {
    RatesInForce rates;
    rates.rules = FeeRules::Since2023;
    rates.since2023.commissionRate = FromPerMille(PerMille{commissionPerMille});
    rates.since2023.minCommission = minCommission;
    return rates;
}

const Trade TRADES[] = {
    {"TypicalFirst", 10, 1000, 11, FIRST_EXCHANGE, std::bit_cast<std::uint64_t>(945.5)},
    {"TypicalSecond", 10, 1000, 11, SECOND_EXCHANGE, std::bit_cast<std::uint64_t>(947.5)},
    {"AllZeroFirst", 0, 0, 0, FIRST_EXCHANGE, std::bit_cast<std::uint64_t>(-12.0)},
    {"AllZeroSecond", 0, 0, 0, SECOND_EXCHANGE, std::bit_cast<std::uint64_t>(-10.0)},
    {"MinimumsFirst", 10, 100, 10, FIRST_EXCHANGE, std::bit_cast<std::uint64_t>(-14.0)},
    {"MinimumsSecond", 10, 100, 10, SECOND_EXCHANGE, std::bit_cast<std::uint64_t>(-12.0)},
    {"CommissionAboveMinimum", 10, 500, 10, FIRST_EXCHANGE, std::bit_cast<std::uint64_t>(-27.0)},
    {"NoExchangeIsFirst", 10, 1000, 11, NO_EXCHANGE, std::bit_cast<std::uint64_t>(945.5)},
    {"OtherIndexIsFirst", 10, 1000, 11, 7, std::bit_cast<std::uint64_t>(945.5)},
    {"NegativeQuantity", 10, -100, 11, FIRST_EXCHANGE, std::bit_cast<std::uint64_t>(-109.9)},
    {"GroupingShowsInLastBits", 37.79, 200, 42.12, FIRST_EXCHANGE, 0x4089C05C28F5C28DULL},
    // Either side's fees summed in another order change the last bits here.
    {"EachSidesGroupingShows", 30.44, 500, 30.81, FIRST_EXCHANGE, 0x405A9BFFFFFFFFA7ULL},
    {"SmallLoss", 23.77, 200, 23.85, FIRST_EXCHANGE, 0xC0239EB851EB844FULL},
    // Today's rules: the exchange makes no difference.
    {"Today", 10, 1000, 11, FIRST_EXCHANGE, 0x408EC251EB851EB8ULL, Since2023(5)},
    {"TodaySecond", 10, 1000, 11, SECOND_EXCHANGE, 0x408EC251EB851EB8ULL, Since2023(5)},
    {"TodayNoMinimum", 10, 1000, 11, FIRST_EXCHANGE, std::bit_cast<std::uint64_t>(989.04),
     Since2023(0)},
    {"TodayLastBits", 37.79, 200, 42.12, FIRST_EXCHANGE, 0x408A9D06833C6000ULL, Since2023(5)},
    {"TodayMinimums", 10, 100, 10, SECOND_EXCHANGE, std::bit_cast<std::uint64_t>(-10.52),
     Since2023(5)},
    {"TodaySmallGain", 23.77, 200, 23.85, FIRST_EXCHANGE, 0x4026470B8CFBFD36ULL, Since2023(0)},
    {"TodaySellSideGrouping", 10.63, 300, 11, FIRST_EXCHANGE, 0x4058D23F3E0370BEULL, Since2023(5)},
    {"TodayLowCommission", 12.34, 5000, 12.56, FIRST_EXCHANGE, 0x40906F2B851EB860ULL,
     Since2023(5, 0.125)},
};

class NetProfitTest : public testing::TestWithParam<Trade> {};

TEST_P(NetProfitTest, MatchesBitForBit) {
    const Trade& trade = GetParam();
    const TradeEntry entry{trade.buy, trade.quantity, trade.sell, 0.0, trade.exchange};
    const double result = NetProfitUnder(entry, trade.rates);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(result), trade.expectedBits)
        << "got " << result << " expected " << std::bit_cast<double>(trade.expectedBits);
}

INSTANTIATE_TEST_SUITE_P(BothRules, NetProfitTest, testing::ValuesIn(TRADES),
                         [](const auto& row) { return row.param.name; });

TEST(NetProfit, NaNFeesAreRaisedToTheirMinimums) {
    // With no shares, 0 x infinity makes commission and transfer fee NaN: both are replaced by
    // their minimums, so the result is the plain all-minimum loss.
    const double inf = std::numeric_limits<double>::infinity();
    const FeeSchedule infiniteRates{inf, 0.0, inf};
    const TradeEntry noShares{10, 0, 11, 0.0, FIRST_EXCHANGE};
    EXPECT_EQ(CalculateNetProfit(noShares, infiniteRates), -12.0);

    // Stamp duty has no minimum: its NaN carries through to the result.
    const FeeSchedule infiniteStampDuty{0.0015, inf, 0.001};
    EXPECT_TRUE(std::isnan(CalculateNetProfit(noShares, infiniteStampDuty)));
}

TEST(NetProfit, ExtremeQuantitiesConvertExactly) {
    const FeeSchedule noFees{0.0, 0.0, 0.0};
    const TradeEntry most{0.0, std::numeric_limits<std::int32_t>::max(), 1.0, 0.0, SECOND_EXCHANGE};
    EXPECT_EQ(CalculateNetProfit(most, noFees), 2147483647.0 - 10.0);
    const TradeEntry least{0.0, std::numeric_limits<std::int32_t>::min(), 1.0, 0.0,
                           SECOND_EXCHANGE};
    EXPECT_EQ(CalculateNetProfit(least, noFees), -2147483648.0 - 10.0);
}

}  // namespace
}  // namespace trellan
