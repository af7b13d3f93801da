#include "core/fee_schedule.h"

#include <array>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "core/fee_rules.h"

#include "support/row_name.h"

namespace trellan {
namespace {

std::string Summary(const RatesInForce& rates) {
    std::array<char, SUMMARY_BUFFER_SIZE> buffer{};
    buffer.fill('#');
    FormatRateSummaryUnder(rates, buffer);
    return buffer.data();
}

struct SummaryCase {
    const char* name;
    FeeSchedule schedule;
    const char* expected;
    std::optional<FeeSchedule2023> since2023 = {};  // today's rules, in place of schedule
};

const SummaryCase SUMMARIES[] = {
    {"Initial", FeeSchedule{}, "佣金1.50‰,花税1.00‰,过户费1.00‰"},
    // The rows the rate summary fuzzer decides are seeds of its corpus; these it does not:
    // which number gives up its fixed notation first, and today's labels.
    // The fixed line would overrun: the longest numbers go to exponent notation, one by one,
    // until the rest fits in fixed notation.
    {"TooLongForFixed",
     {1e300, -1e300, 1e20},
     "佣金1.00e+303‰,花税-1.00e+303‰,过户费99999999999999991611392.00‰"},
    {"OneByteOverTheRoom",
     {1e19, -1e19, 1e18},
     "佣金10000000000000000000000.00‰,花税-1.00e+22‰,过户费1000000000000000000000.00‰"},
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

INSTANTIATE_TEST_SUITE_P(Rates, SummaryTest, testing::ValuesIn(SUMMARIES), support::RowName{});

}  // namespace
}  // namespace trellan
