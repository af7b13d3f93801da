// What the fuzz targets' references do not decide (every other number text is a seed of
// fuzz/corpus): hexadecimal and the names of infinities and nans, which atof does not read, and
// the texts that only the window shows.
#include "core/number_text.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string_view>

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

}  // namespace
}  // namespace trellan
