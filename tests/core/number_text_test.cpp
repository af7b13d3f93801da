#include "core/number_text.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string_view>

namespace trellan {
namespace {

const double INF = std::numeric_limits<double>::infinity();

struct LeadingCase {
    std::string_view text;
    double expected;
};

class LeadingDoubleTest : public testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingDoubleTest, ReadsAsTheRuntimeDoes) {
    const double value = ParseLeadingDouble(GetParam().text);
    EXPECT_EQ(value, GetParam().expected) << "text \"" << GetParam().text << '"';
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingDoubleTest,
    testing::Values(LeadingCase{"1.5", 1.5}, LeadingCase{"  \t\n1.0", 1.0}, LeadingCase{"+2", 2.0},
                    LeadingCase{"-1.00", -1.0}, LeadingCase{"2,5", 2.0}, LeadingCase{"abc", 0.0},
                    LeadingCase{"", 0.0}, LeadingCase{".5", 0.5}, LeadingCase{"5.", 5.0},
                    LeadingCase{".", 0.0}, LeadingCase{"-", 0.0}, LeadingCase{"1e3x", 1000.0},
                    LeadingCase{"1e", 1.0}, LeadingCase{"1e+", 1.0}, LeadingCase{"1.5E-1", 0.15},
                    LeadingCase{"1.23 ; note", 1.23}, LeadingCase{"0x10", 0.0},
                    LeadingCase{"inf", 0.0}, LeadingCase{"nan", 0.0}, LeadingCase{"1e999", INF},
                    LeadingCase{"-1e999", -INF}, LeadingCase{"0.000001e-999999999999", 0.0},
                    LeadingCase{"-1e-999", -0.0}, LeadingCase{"123456789e-400", 0.0},
                    LeadingCase{"0.00000000001e320", INF}));

struct FieldCase {
    std::string_view text;
    std::optional<double> expected;
};

class FieldDoubleTest : public testing::TestWithParam<FieldCase> {};

TEST_P(FieldDoubleTest, ReadsWholeText) {
    const std::optional<double> value = ParseDouble(GetParam().text);
    ASSERT_EQ(value.has_value(), GetParam().expected.has_value()) << GetParam().text;
    if (value) {
        EXPECT_EQ(*value, *GetParam().expected) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FieldDoubleTest,
    testing::Values(FieldCase{"10", 10.0}, FieldCase{" 37.79 ", 37.79}, FieldCase{"+5", 5.0},
                    FieldCase{"-1e3", -1000.0}, FieldCase{"inf", INF}, FieldCase{"-inf", -INF},
                    FieldCase{"", std::nullopt}, FieldCase{"  ", std::nullopt},
                    FieldCase{"abc", std::nullopt}, FieldCase{"1.5x", std::nullopt},
                    FieldCase{"2,5", std::nullopt}, FieldCase{"+-1", std::nullopt},
                    FieldCase{"--1", std::nullopt}, FieldCase{"1e999", std::nullopt},
                    FieldCase{"0x10", std::nullopt}));

TEST(FieldDouble, NaNReadsBack) {
    EXPECT_TRUE(std::isnan(ParseDouble("nan").value_or(0.0)));
    EXPECT_TRUE(std::isnan(ParseDouble("-nan").value_or(0.0)));
}

struct IntCase {
    std::string_view text;
    std::optional<std::int32_t> expected;
};

class FieldIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(FieldIntTest, ReadsWholeText) {
    EXPECT_EQ(ParseInt32(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FieldIntTest,
    testing::Values(IntCase{"1000", 1000}, IntCase{" -100 ", -100}, IntCase{"+7", 7},
                    IntCase{"2147483647", 2147483647}, IntCase{"-2147483648", INT32_MIN},
                    IntCase{"2147483648", std::nullopt}, IntCase{"-2147483649", std::nullopt},
                    IntCase{"", std::nullopt}, IntCase{"1.5", std::nullopt},
                    IntCase{"12abc", std::nullopt}, IntCase{"+-3", std::nullopt},
                    IntCase{"1e3", std::nullopt}));

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
    EXPECT_EQ(FormatGeneral15(-12).View(), "-12");
    EXPECT_EQ(FormatGeneral15(824.0449999999997).View(), "824.045");
    EXPECT_EQ(FormatGeneral15(1e20).View(), "1e+20");
    EXPECT_EQ(FormatGeneral15(-INF).View(), "-inf");
    EXPECT_EQ(FormatShortest(0.1).View(), "0.1");
}

TEST(NumberFormats, GeneralTextReadsBackAsTheShownValue) {
    for (const double value :
         {945.5, -9.809999999999631, 1e-300, 4.9e-324, 1.7976931348623157e308, -INF, INF}) {
        const NumberText text = FormatGeneral15(value);
        const std::optional<double> back = ParseDouble(text.View());
        ASSERT_TRUE(back.has_value()) << text.View();
        EXPECT_EQ(FormatGeneral15(*back).View(), text.View());
    }
}

}  // namespace
}  // namespace trellan
