#include "core/fee_schedule.h"

#include <array>
#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

#include "core/fee_rules.h"

namespace trellan {
namespace {

std::string Summary(const RatesInForce& rates) {
    std::array<char, SUMMARY_BUFFER_SIZE> buffer{};
    buffer.fill('#');
    FormatRateSummaryUnder(rates, buffer);
    return buffer.data();
}

TEST(FeeSchedule, InitialRatesAreTheDefaultsReadFromText) {
    const FeeSchedule schedule;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(schedule.commissionRate), 0x3F589374BC6A7EFAULL);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(schedule.stampDutyRate), 0x3F50624DD2F1A9FCULL);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(schedule.transferRate), 0x3F50624DD2F1A9FCULL);
    EXPECT_EQ(FromPerMille(PerMille{1.5}), schedule.commissionRate);
    EXPECT_EQ(FromPerMille(PerMille{1.0}), schedule.stampDutyRate);
    EXPECT_EQ(ToPerMille(FromPerMille(PerMille{1.5})).value, 1.5);
}

TEST(FeeSchedule, FromPerMilleMultipliesRatherThanDivides) {
    // 9 x 0.001 and 9 / 1000 differ in the last bit; stored files were read the first way.
    EXPECT_EQ(FromPerMille(PerMille{9.0}), 9.0 * 0.001);
    EXPECT_NE(FromPerMille(PerMille{9.0}), 9.0 / 1000.0);
}

struct SummaryCase {
    const char* name;
    FeeSchedule schedule;
    const char* expected;
    std::optional<FeeSchedule2023> since2023 = {};  // today's rules, in place of schedule
};

std::ostream& operator<<(std::ostream& out, const SummaryCase& row) {
    return out << row.name;
}

const double INF = std::numeric_limits<double>::infinity();

const SummaryCase SUMMARIES[] = {
    {"Initial", FeeSchedule{}, "佣金1.50‰,花税1.00‰,过户费1.00‰"},
    {"Zero", {0.0, 0.0, 0.0}, "佣金0.00‰,花税0.00‰,过户费0.00‰"},
    {"NegativeCommission",
     {FromPerMille(PerMille{-0.5}), 0.001, 0.001},
     "佣金-0.50‰,花税1.00‰,过户费1.00‰"},
    // An exact tie rounds away from zero; 1.005 lies below its tie.
    {"TiesAwayFromZero",
     {FromPerMille(PerMille{0.125}), FromPerMille(PerMille{0.625}), FromPerMille(PerMille{-0.125})},
     "佣金0.13‰,花税0.63‰,过户费-0.13‰"},
    {"BelowTheTie",
     {FromPerMille(PerMille{1.005}), FromPerMille(PerMille{0.085}), 0.001},
     "佣金1.00‰,花税0.09‰,过户费1.00‰"},
    {"LongestFixed", {-9.99e14, 0.001, 0.001}, "佣金-999000000000000000.00‰,花税1.00‰,过户费1.00‰"},
    // The fixed line would overrun: the longest numbers go to exponent notation, one by one,
    // until the rest fits in fixed notation.
    {"TooLongForFixed",
     {1e300, -1e300, 1e20},
     "佣金1.00e+303‰,花税-1.00e+303‰,过户费99999999999999991611392.00‰"},
    {"OneLongRateKeepsFixed",
     {1e16, 0.001, 0.001},
     "佣金10000000000000000000.00‰,花税1.00‰,过户费1.00‰"},
    {"TwoLongRatesKeepFixed",
     {1e16, -1e16, 0.001},
     "佣金10000000000000000000.00‰,花税-10000000000000000000.00‰,过户费1.00‰"},
    // The room is counted as in code page 936: 77 bytes for the numbers, whatever UTF-8 takes.
    {"ThreeLongRatesKeepFixed",
     {1e16, -1e16, 1e16},
     "佣金10000000000000000000.00‰,花税-10000000000000000000.00‰,过户费10000000000000000000.00‰"},
    {"LargestBelowTenToTheTwenty",
     {-99999999999999983.616, -99999999999999983.616, -99999999999999983.616},
     "佣金-99999999999999983616.00‰,花税-99999999999999983616.00‰,过户费-99999999999999983616.00‰"},
    {"FillsTheRoom",  // 109 bytes: the whole buffer but its zero
     {1e19, 1e19, 1e18},
     "佣金10000000000000000000000.00‰,花税10000000000000000000000.00‰,过户费"
     "1000000000000000000000.00‰"},
    {"OneByteOverTheRoom",
     {1e19, -1e19, 1e18},
     "佣金10000000000000000000000.00‰,花税-1.00e+22‰,过户费1000000000000000000000.00‰"},
    {"NotFinite",
     {INF, -INF, std::numeric_limits<double>::quiet_NaN()},
     "佣金inf‰,花税-inf‰,过户费nan‰"},
    {"Today", {}, "现行佣0.25‰,印花0.50‰,过户0.01‰", FeeSchedule2023{}},
    {"TodayLowCommissionTie",
     {},
     "现行佣0.13‰,印花1.00‰,过户-0.01‰",
     FeeSchedule2023{FromPerMille(PerMille{0.125}), 0.001, FromPerMille(PerMille{-0.01}), 0.0}},
    {"TodayTooLongForFixed",
     {},
     "现行佣1.00e+303‰,印花-1.00e+303‰,过户99999999999999991611392.00‰",
     FeeSchedule2023{1e300, -1e300, 1e20, 5.0}},
};

class SummaryTest : public testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryTest, Formats) {
    const SummaryCase& row = GetParam();
    const RatesInForce rates{row.since2023 ? FeeRules::Since2023 : FeeRules::Classic, row.schedule,
                             row.since2023.value_or(FeeSchedule2023{})};
    EXPECT_EQ(Summary(rates), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rates, SummaryTest, testing::ValuesIn(SUMMARIES),
                         [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace trellan
