#include "core/trade_details.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <ostream>

namespace trellan {
namespace {

RatesInForce Since2023(double minCommission) {
    RatesInForce rates;
    rates.rules = FeeRules::Since2023;
    rates.since2023.minCommission = minCommission;
    return rates;
}

RatesInForce ClassicWithCommission(double perMille) {
    RatesInForce rates;
    rates.classic.commissionRate = FromPerMille(PerMille{perMille});
    return rates;
}

RatesInForce NoFees() {
    RatesInForce rates = Since2023(0);
    rates.since2023 = {0, 0, 0, 0};
    return rates;
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

struct BreakEvenCase {
    const char* name;
    double buy;
    std::int32_t quantity;
    ExchangeIndex exchange;
    RatesInForce rates;
    std::optional<double> expected;
};

std::ostream& operator<<(std::ostream& out, const BreakEvenCase& row) {
    return out << row.name;
}

const BreakEvenCase BREAK_EVENS[] = {
    {"Classic", 10, 1000, FIRST_EXCHANGE, {}, 10.06},
    {"ClassicSecond", 10, 1000, SECOND_EXCHANGE, {}, 10.06},
    {"ClassicOddPrice", 37.79, 200, FIRST_EXCHANGE, {}, 37.99},
    {"ClassicOddPriceSecond", 37.79, 200, SECOND_EXCHANGE, {}, 37.98},
    {"ClassicMinimums", 10, 100, FIRST_EXCHANGE, {}, 10.15},
    {"ClassicMinimumsSecond", 10, 100, SECOND_EXCHANGE, {}, 10.13},
    {"Today", 10, 1000, FIRST_EXCHANGE, Since2023(5), 10.02},
    {"TodayNoMinimum", 10, 1000, SECOND_EXCHANGE, Since2023(0), 10.02},
    // The sell commission is exactly the minimum at the break-even price, and raised to it one
    // cent below.
    {"TodayAtTheMinimum", 4.99, 4000, FIRST_EXCHANGE, Since2023(5), 5.00},
    {"TodayJustAboveTheMinimum", 9.99, 2000, FIRST_EXCHANGE, Since2023(5), 10.01},
    {"NoFeesBreaksEvenAtTheBuyPrice", 12.34, 100, FIRST_EXCHANGE, NoFees(), 12.34},
    {"NothingBought", 0, 1000, SECOND_EXCHANGE, Since2023(0), 0.0},
    {"NoShares", 10, 0, FIRST_EXCHANGE, {}, std::nullopt},
    {"NegativeQuantity", 10, -100, FIRST_EXCHANGE, {}, std::nullopt},
    {"FeesEatEverything", 10, 1000, FIRST_EXCHANGE, ClassicWithCommission(1000), std::nullopt},
    {"BeyondTenMillion", 1e7, 1000, FIRST_EXCHANGE, {}, std::nullopt},
    {"NotANumber", NaN, 1000, FIRST_EXCHANGE, {}, std::nullopt},
};

class BreakEvenTest : public testing::TestWithParam<BreakEvenCase> {};

// The price found is where the calculation itself turns: at least zero there, below zero one
// cent lower.
TEST_P(BreakEvenTest, IsTheLowestCentThatDoesNotLose) {
    const BreakEvenCase& row = GetParam();
    const TradeEntry entry{row.buy, row.quantity, 0.0, 0.0, row.exchange};
    const std::optional<double> price = BreakEvenSellPrice(entry, row.rates);
    EXPECT_EQ(price, row.expected);
    if (price && *price > 0) {
        const std::int64_t cents = std::llround(*price * 100);
        TradeEntry at = entry;
        at.sellPrice = static_cast<double>(cents) / 100.0;
        EXPECT_GE(NetProfitUnder(at, row.rates), 0.0);
        at.sellPrice = static_cast<double>(cents - 1) / 100.0;
        EXPECT_LT(NetProfitUnder(at, row.rates), 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(BothRules, BreakEvenTest, testing::ValuesIn(BREAK_EVENS),
                         [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace trellan
