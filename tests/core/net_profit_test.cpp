// The net result bit for bit, the details' fees as shown, and the sell prices for a return (the
// break-even price among them) found from the result, under both rules.
#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <random>

#include "core/fee_rules.h"
#include "core/number_text.h"
#include "core/trade_details.h"

#include "support/row_name.h"

namespace trellan {
namespace {

const double INF = std::numeric_limits<double>::infinity();
const std::int32_t MOST = std::numeric_limits<std::int32_t>::max();
const RatesInForce CLASSIC{};
const RatesInForce TODAY{FeeRules::Since2023, {}, {}};
const RatesInForce TODAY_MIN_3{FeeRules::Since2023, {}, {.minCommission = 3.0}};
const RatesInForce NO_FEES{FeeRules::Since2023, {}, {0.0, 0.0, 0.0, 0.0}};
// With no shares, 0 x infinity makes the commission and the transfer fee NaN.
const RatesInForce INFINITE{FeeRules::Classic, {INF, 0.0, INF}, {}};

struct Trade {
    const char* name;
    double buy;
    std::int32_t quantity;
    double sell;
    ExchangeIndex exchange;
    RatesInForce rates;
    std::uint64_t bits;
};

// The odd prices' rows are where another grouping of a fee's sums or products changes the last
// bits, on either side of the trade.
const Trade TRADES[] = {
    {"AllMinimumsFirst", 0, 0, 0, FIRST_EXCHANGE, CLASSIC, 0xC028000000000000},
    {"AllMinimumsSecond", 0, 0, 0, SECOND_EXCHANGE, CLASSIC, 0xC024000000000000},
    {"NaNFeesRaisedToMinimums", 10, 0, 11, FIRST_EXCHANGE, INFINITE, 0xC028000000000000},
    {"NoExchangeIsFirst", 13.15, 1300, 13.19, NO_EXCHANGE, CLASSIC, 0xC0421A3D70A3D7A7},
    {"Second", 25.88, 300, 26.83, SECOND_EXCHANGE, CLASSIC, 0x406EAEF5C28F5C22},
    {"MostShares", 0, MOST, 1, SECOND_EXCHANGE, CLASSIC, 0x41DFEB851D387AE1},
    {"TodayOwnMinimum", 10, 1000, 11, FIRST_EXCHANGE, TODAY_MIN_3, 0x408EE251EB851EB8},
    {"Today", 92.75, 1400, 93.71, SECOND_EXCHANGE, TODAY, 0x4092EA205143BF4D},
    {"TodayMostShares", 0, MOST, 1, FIRST_EXCHANGE, NO_FEES, 0x41DFFFFFFFC00000},
};

class NetProfitTest : public testing::TestWithParam<Trade> {};

TEST_P(NetProfitTest, MatchesBitForBit) {
    const Trade& t = GetParam();
    const double result = NetProfitUnder({t.buy, t.quantity, t.sell, 0.0, t.exchange}, t.rates);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(result), t.bits) << result;
}

INSTANTIATE_TEST_SUITE_P(BothRules, NetProfitTest, testing::ValuesIn(TRADES), support::RowName{});

// The calculation step by step as the rules state it, each fee summed where it is formed: the
// reference against which the shared side fees are checked.
double ClassicReference(const TradeEntry& e, const FeeSchedule& r) {
    const auto n = static_cast<double>(e.quantity);
    const double nc = n * r.commissionRate;
    const double ns = n * r.stampDutyRate;
    const double bc = AtLeast(nc * e.buyPrice, MIN_COMMISSION);
    const double bs = ns * e.buyPrice;
    const double sc = AtLeast(nc * e.sellPrice, MIN_COMMISSION);
    const double ss = ns * e.sellPrice;
    const double gross = n * (e.sellPrice - e.buyPrice);
    if (e.exchangeIndex == SECOND_EXCHANGE) {
        return (gross - (bs + bc)) - (ss + sc);
    }
    const double tf = AtLeast(n * r.transferRate, MIN_TRANSFER_FEE);
    return (gross - ((tf + bs) + bc)) - ((tf + ss) + sc);
}

double TodayReference(const TradeEntry& e, const FeeSchedule2023& r) {
    const auto n = static_cast<double>(e.quantity);
    const double bc = AtLeast(n * r.commissionRate * e.buyPrice, r.minCommission);
    const double sc = AtLeast(n * r.commissionRate * e.sellPrice, r.minCommission);
    const double after = n * (e.sellPrice - e.buyPrice) - (n * r.transferRate * e.buyPrice + bc);
    return after - ((n * r.transferRate * e.sellPrice + n * r.stampDutyRate * e.sellPrice) + sc);
}

// Many trades at whole-cent prices, with rates per mille in hundredths, both rules and both
// exchanges: the result and the details' net are the reference's, bit for bit.
TEST(NetProfitProperty, ResultAndDetailsAreTheStatedStepsBitForBit) {
    std::mt19937_64 random(20261208);
    const auto cents = [&random](int most) {
        return static_cast<double>(std::uniform_int_distribution<int>(0, most)(random)) / 100.0;
    };
    for (int round = 0; round < 20000; ++round) {
        const TradeEntry entry{cents(20000),
                               std::uniform_int_distribution<int>(-100, 200000)(random),
                               cents(20000), 0.0, round % 3 - 1};
        RatesInForce rates{round % 2 == 0 ? FeeRules::Classic : FeeRules::Since2023,
                           FromPerMille(PerMilleRates{PerMille{cents(300)}, PerMille{cents(300)},
                                                      PerMille{cents(300)}}),
                           {}};
        const FeeSchedule today = FromPerMille(
            PerMilleRates{PerMille{cents(300)}, PerMille{cents(300)}, PerMille{cents(300)}});
        rates.since2023 = {today.commissionRate, today.stampDutyRate, today.transferRate,
                           cents(1000)};
        const double expected = rates.rules == FeeRules::Classic
                                    ? ClassicReference(entry, rates.classic)
                                    : TodayReference(entry, rates.since2023);
        const auto bits = [](double value) { return std::bit_cast<std::uint64_t>(value); };
        ASSERT_EQ(bits(NetProfitUnder(entry, rates)), bits(expected)) << "round " << round;
        ASSERT_EQ(bits(DescribeTrade(entry, rates).net), bits(expected)) << "round " << round;
    }
}

// The cents a money text shows, read back from the text as a user reads it.
std::int64_t ShownCents(double money) {
    return std::llround(ParseDouble(FormatMoney(money).View()).value_or(NAN) * 100.0);
}

// Many trades under the default rates of both rules, each fee shown to the cent: the details say
// that the fees are rounded on their own exactly where the six shown do not add up to the total
// shown (now and then, so both ways are seen).
TEST(DetailsProperty, ShownFeesAddUpToTheShownTotalOrTheDetailsSaySo) {
    std::mt19937_64 random(20261209);
    const auto draw = [&random](int most) {
        return std::uniform_int_distribution<int>(0, most)(random);
    };
    int apart = 0;
    for (int round = 0; round < 20000; ++round) {
        const TradeEntry entry{draw(2000000) / 100.0, draw(1000000), draw(2000000) / 100.0, 0.0,
                               round % 2};
        const TradeDetails details = DescribeTrade(entry, round % 4 < 2 ? CLASSIC : TODAY);
        std::int64_t sum = 0;
        for (const SideFees& side : {details.buy, details.sell}) {
            sum += ShownCents(side.commission) + ShownCents(side.stampDuty) +
                   ShownCents(side.transferFee);
        }
        const bool addUp = sum == ShownCents(details.totalFees);
        ASSERT_EQ(FeesAddUpAsShown(details), addUp) << "round " << round;
        apart += addUp ? 0 : 1;
    }
    EXPECT_GT(apart, 0);
}

struct BreakEven {
    const char* name;
    double buy;
    std::int32_t quantity;
    ExchangeIndex exchange;
    RatesInForce rates;
    double targetPercent;  // of the buy side's cost; 0: break-even
    std::optional<double> price;
};

// The lowest whole cent, read as a typed price reads (k / 100.0), at which the trade returns the
// target (10 / 1000 / 10.00 first: a net of 501.30 on a cost of 10026.00 for 5 %), or does not
// lose; searched below ten million only.
const BreakEven BREAK_EVENS[] = {
    {"Second", 37.79, 200, SECOND_EXCHANGE, CLASSIC, 0, 37.98},
    {"Today", 10, 1000, FIRST_EXCHANGE, TODAY, 0, 10.02},
    {"NothingBought", 0, 1000, FIRST_EXCHANGE, NO_FEES, 0, 0.0},
    {"BuyPriceBetweenCents", 35 * 0.01, 100, FIRST_EXCHANGE, NO_FEES, 0, 0.36},
    {"LastCentBelowTenMillion", 9999999.99, 100, FIRST_EXCHANGE, NO_FEES, 0, 9999999.99},
    {"TenMillion", 1e7, 100, FIRST_EXCHANGE, NO_FEES, 0, std::nullopt},
    {"NoShares", 10, 0, FIRST_EXCHANGE, NO_FEES, 0, std::nullopt},
    {"NotANumber", std::nan(""), 1000, FIRST_EXCHANGE, CLASSIC, 0, std::nullopt},
    {"EvenFirst", 10, 1000, FIRST_EXCHANGE, CLASSIC, 0, 10.06},
    {"FivePercentFirst", 10, 1000, FIRST_EXCHANGE, CLASSIC, 5, 10.56},
    {"FivePercentSecond", 10, 1000, SECOND_EXCHANGE, CLASSIC, 5, 10.56},
    {"FivePercentOfLittle", 10, 100, FIRST_EXCHANGE, CLASSIC, 5, 10.65},
    {"TenPercent", 37.79, 200, FIRST_EXCHANGE, CLASSIC, 10, 41.79},
    {"FivePercentToday", 10, 1000, FIRST_EXCHANGE, TODAY, 5, 10.52},
    {"BeyondTenMillion", 10, 1000, FIRST_EXCHANGE, CLASSIC, 1e8, std::nullopt},
    {"HalfLost", 10, 1000, FIRST_EXCHANGE, CLASSIC, -50, 5.03},
};

class BreakEvenTest : public testing::TestWithParam<BreakEven> {};

TEST_P(BreakEvenTest, IsTheLowestCentThatReturnsTheTarget) {
    const BreakEven& row = GetParam();
    const TradeEntry entry{row.buy, row.quantity, 0.0, 0.0, row.exchange};
    EXPECT_EQ(SellPriceForReturn(entry, row.rates, row.targetPercent), row.price);
}

INSTANTIATE_TEST_SUITE_P(BothRules, BreakEvenTest, testing::ValuesIn(BREAK_EVENS),
                         support::RowName{});

}  // namespace
}  // namespace trellan
