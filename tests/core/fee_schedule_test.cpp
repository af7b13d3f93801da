// What the rate summary fuzzer does not decide (every other line is a seed of its corpus): which
// numbers give up their fixed notation when the line would overrun, and today's labels.
#include <array>
#include <gtest/gtest.h>

#include "core/fee_rules.h"

namespace trellan {
namespace {

// The longest number goes first, then the first of the longest that are left.
TEST(RateSummary, ShortensLongestNumbersFirstAndShowsTodaysLabels) {
    const struct {
        RatesInForce rates;
        const char* line;
    } rows[] = {
        {{FeeRules::Classic, {1e33, -1e33, 1e33}, {}},
         "佣金1.00e+36‰,花税-1.00e+36‰,过户费999999999999999894846684784341549056.00‰"},
        {{FeeRules::Since2023, {}, {}}, "现行佣0.25‰,印花0.50‰,过户0.01‰"},
    };
    for (const auto& row : rows) {
        std::array<char, SUMMARY_BUFFER_SIZE> buffer{};
        FormatRateSummaryUnder(row.rates, buffer);
        EXPECT_STREQ(buffer.data(), row.line);
    }
}

}  // namespace
}  // namespace trellan
