// What the fuzz targets' references do not decide (every other number text is a seed of
// fuzz/corpus): hexadecimal and the names of infinities and nans, which atof does not read, and
// the texts that only the window shows.
#include "core/number_text.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string_view>

#include "support/row_name.h"

namespace trellan {
namespace {

TEST(NumberTexts, AsTheCRuntimeReadsAndPrintsThem) {
    for (const std::string_view text : {"0x10", "inf", "nan"}) {
        EXPECT_EQ(ParseLeadingDouble(text), 0.0) << text;
    }
    EXPECT_EQ(ParseDouble("0x10"), std::nullopt);
    // The longest two-decimal text fits the buffer.
    EXPECT_EQ(FormatFixed2(-std::numeric_limits<double>::max()).View().size(), 313U);
    EXPECT_EQ(FormatGeneral15(824.0449999999997).View(), "824.045");
    EXPECT_EQ(FormatShortest(0.1).View(), "0.1");
}

struct Money {
    const char* name;
    double value;
    const char* text;
    std::optional<std::int64_t> cents;
};

// Ties go away from zero, a result that rounds to no cents has no sign, and cents are shown only
// while a double still holds every one.
const Money MONEY[] = {
    {"TieUp", 0.125, "0.13", 13},
    {"NegativeTieDown", -0.625, "-0.63", -63},
    {"MinusZero", -0.0, "0.00", 0},
    {"RoundsToMinusZero", -0.004, "0.00", 0},
    {"LastWithCents", 999999999999999.875, "999999999999999.88", 99999999999999988},
    {"TenToTheFifteen", 1e15, "1e+15", std::nullopt},
    {"NotFinite", -std::numeric_limits<double>::infinity(), "-inf", std::nullopt},
};

class MoneyTest : public testing::TestWithParam<Money> {};

TEST_P(MoneyTest, ShowsTheCents) {
    EXPECT_EQ(FormatMoney(GetParam().value).View(), GetParam().text);
    EXPECT_EQ(MoneyCents(GetParam().value), GetParam().cents);
}

INSTANTIATE_TEST_SUITE_P(Rounding, MoneyTest, testing::ValuesIn(MONEY), support::RowName{});

// As a Chinese input method types numbers: full-width digits, point and signs, and the
// ideographic space; the full-width comma and slash are no part of a number and stay.
TEST(NumberTexts, FullWidthFormsReadAsPlainOnes) {
    EXPECT_EQ(PlainNumberText("\u3000＋１２３４５６７８９０．５　"), " +1234567890.5 ");
    EXPECT_EQ(PlainNumberText("－０，１／２"), "-0，1／2");
}

}  // namespace
}  // namespace trellan
