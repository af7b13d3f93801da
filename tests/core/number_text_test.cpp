// What the fuzz targets' references do not decide: hexadecimal and the names of infinities and
// nans, which the platform's atof does not know, and printf's rounding of ties. Every other
// number text is a seed of fuzz/corpus, replayed through its target.
#include "core/number_text.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string_view>

namespace trellan {
namespace {

const double INF = std::numeric_limits<double>::infinity();

TEST(NumberTexts, HexadecimalAndNamesAreNoNumbers) {
    for (const std::string_view text : {"0x10", "inf", "nan"}) {
        EXPECT_EQ(ParseLeadingDouble(text), 0.0) << text;
    }
    EXPECT_EQ(ParseDouble("0x10"), std::nullopt);
}

struct FixedCase {
    double value;
    std::string_view expected;
};

class FixedTwoTest : public testing::TestWithParam<FixedCase> {};

TEST_P(FixedTwoTest, RoundsTiesAwayFromZero) {
    EXPECT_EQ(FormatFixed2(GetParam().value).View(), GetParam().expected);
}

// 2^49 + 1/8: a tie whose last bit is worth 1/8, so no nudge by one unit could break it.
const double LARGE_TIE = 562949953421312.125;

INSTANTIATE_TEST_SUITE_P(
    Values, FixedTwoTest,
    testing::Values(FixedCase{1.5, "1.50"}, FixedCase{-1, "-1.00"}, FixedCase{1000, "1000.00"},
                    FixedCase{1.234, "1.23"}, FixedCase{0.125, "0.13"}, FixedCase{0.625, "0.63"},
                    FixedCase{0.375, "0.38"}, FixedCase{0.875, "0.88"}, FixedCase{-0.125, "-0.13"},
                    FixedCase{-2.375, "-2.38"}, FixedCase{1.005, "1.00"}, FixedCase{0.085, "0.09"},
                    FixedCase{0.005, "0.01"}, FixedCase{0.25, "0.25"}, FixedCase{-0.001, "-0.00"},
                    FixedCase{LARGE_TIE, "562949953421312.13"}, FixedCase{INF, "inf"},
                    FixedCase{1e22, "10000000000000000000000.00"}));

TEST(NumberFormats, MatchPrintf) {
    EXPECT_EQ(FormatFixed2(-std::numeric_limits<double>::max()).View().size(), 313U);
    EXPECT_EQ(FormatScientific2(1e300).View(), "1.00e+300");
    EXPECT_EQ(FormatGeneral15(945.5).View(), "945.5");
    EXPECT_EQ(FormatGeneral15(824.0449999999997).View(), "824.045");
    EXPECT_EQ(FormatGeneral15(1e20).View(), "1e+20");
    EXPECT_EQ(FormatGeneral15(-INF).View(), "-inf");
    EXPECT_EQ(FormatShortest(0.1).View(), "0.1");
}

}  // namespace
}  // namespace trellan
