#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "settings/profile_text.h"

namespace trellan {
namespace {

// A file whose last line ends in a carriage return without its line feed (cut short by an
// editor or a copy). Readers take the bare CR as the line end; a writer that adds a whole line
// end after it would leave "\r\r\n", and the value before it would gain a stray CR.
struct BareCrCase {
    const char* name;
    std::string_view before;
    std::string_view after;  // after COMMISION in SET is set to 2.00
    std::string_view otherSection, otherKey, otherValue;
};

std::ostream& operator<<(std::ostream& out, const BareCrCase& row) {
    return out << row.name;
}

const BareCrCase BARE_CR_CASES[] = {
    {"KeyAddedToTheLastSection", "[SET]\r\nX=1\r", "[SET]\r\nX=1\r\nCOMMISION=2.00\r\n", "SET", "X",
     "1"},
    {"SectionAddedAfterIt", "[OTHER]\r\nY=abc\r",
     "[OTHER]\r\nY=abc\r\n\r\n[SET]\r\nCOMMISION=2.00\r\n", "OTHER", "Y", "abc"},
    {"LineFeedFile", "[OTHER]\nY=abc\r", "[OTHER]\nY=abc\r\n\n[SET]\nCOMMISION=2.00\n", "OTHER",
     "Y", "abc"},
};

class BareCrTest : public testing::TestWithParam<BareCrCase> {};

TEST_P(BareCrTest, IsFinishedAsALineEndAndKeepsTheValueBeforeIt) {
    const BareCrCase& row = GetParam();
    ASSERT_EQ(FindProfileValue(row.before, row.otherSection, row.otherKey), row.otherValue);
    const std::string after = SetProfileValue(row.before, "SET", ProfileEntry{"COMMISION", "2.00"});
    EXPECT_EQ(after, row.after);
    EXPECT_EQ(FindProfileValue(after, row.otherSection, row.otherKey), row.otherValue);
    EXPECT_EQ(FindProfileValue(after, "SET", "COMMISION"), "2.00");
    // A second save of the same value finds nothing left to change.
    EXPECT_EQ(SetProfileValue(after, "SET", ProfileEntry{"COMMISION", "2.00"}), after);
}

INSTANTIATE_TEST_SUITE_P(Files, BareCrTest, testing::ValuesIn(BARE_CR_CASES),
                         [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace trellan
