#include "settings/profile_text.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>

#include "support/row_name.h"

namespace trellan {
namespace {

struct ReadCase {
    const char* name;
    std::string_view file;
    std::optional<std::string_view> expected;  // the value of COMMISION in SET
};

const ReadCase READS[] = {
    {"Plain", "[SET]\nCOMMISION=2.5\n", "2.5"},
    {"WindowsLineEnds", "[SET]\r\nCOMMISION=2.50\r\nSTAMPDUTY=1.00\r\n", "2.50"},
    {"NoFinalLineEnd", "[SET]\nCOMMISION=3", "3"},
    {"CaseOfNames", "[set]\ncommision=4\n", "4"},
    {"BlanksAroundNamesAndValues", "  [ SET ]  \n\t COMMISION \t=  5.5  \t\n", "5.5"},
    {"DoubleQuoted", "[SET]\nCOMMISION=\" 6 \"\n", " 6 "},
    {"SingleQuoted", "[SET]\nCOMMISION='7'\n", "7"},
    {"UnmatchedQuotesStay", "[SET]\nCOMMISION=\"8'\n", "\"8'"},
    {"EmptyValue", "[SET]\nCOMMISION=\n", ""},
    {"FirstOfTwoKeys", "[SET]\nCOMMISION=1\nCOMMISION=2\n", "1"},
    {"OnlyFirstSection", "[SET]\nX=1\n[SET]\nCOMMISION=2\n", std::nullopt},
    {"OtherSectionsAndComments",
     "; rates\r\n[OTHER]\r\nCOMMISION=9\r\n\r\n[SET]\r\n;COMMISION=8\r\nCOMMISION=2\r\n", "2"},
    {"LinesWithoutEqualsPassedOver", "[SET]\nCOMMISION\ngarbage\nCOMMISION=3\n", "3"},
    {"KeyBeforeAnySection", "COMMISION=1\n[SET]\n", std::nullopt},
    {"MissingSection", "[OTHER]\nCOMMISION=1\n", std::nullopt},
    {"Empty", "", std::nullopt},
    // Section lines as Windows reads them: the name ends at the first ']', or with the line.
    {"SectionWithoutBracketOpensIt", "[SET\nCOMMISION=1\n", "1"},
    {"NameEndsAtTheFirstBracket", "[SET] [OTHER]\nCOMMISION=1\n", "1"},
    {"NameCutByABracket", "[SE]T]\nCOMMISION=1\n", std::nullopt},
    {"Utf8MarkBreaksTheFirstHeader", "\xEF\xBB\xBF[SET]\nCOMMISION=1\n", std::nullopt},
    {"BareCrLineEnds", "[OTHER]\rCOMMISION=9\r[SET]\rX=1\rCOMMISION=2.5\r", "2.5"},
    {"MixedLineEnds", "[SET]\rX=1\r\nCOMMISION=3\n", "3"},
    {"ValueWithEquals", "[SET]\nCOMMISION=a=b\n", "a=b"},
};

class ReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, FindsValue) {
    EXPECT_EQ(FindProfileValue(GetParam().file, "SET", "COMMISION"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadTest, testing::ValuesIn(READS), support::RowName{});

struct WriteCase {
    const char* name;
    std::string_view before;
    std::string_view after;  // after COMMISION is set to 2.00
};

const WriteCase WRITES[] = {
#ifdef _WIN32
    {"NewFile", "", "[SET]\r\nCOMMISION=2.00\r\n"},  // as the platform's profile calls write it
#else
    {"NewFile", "", "[SET]\nCOMMISION=2.00\n"},
#endif
    {"ReplacesOnlyTheValue", "[SET]\r\n  commision = 1.50 ; old\r\nX=1\r\n",
     "[SET]\r\n  commision = 2.00\r\nX=1\r\n"},
    {"ReplacesQuotedValue", "[SET]\nCOMMISION=\"1.5\"\n", "[SET]\nCOMMISION=2.00\n"},
    {"FillsEmptyValue", "[SET]\nCOMMISION=\n", "[SET]\nCOMMISION=2.00\n"},
    {"AddsKeyAtEndOfSection", "[SET]\r\nX=1\r\n\r\n[OTHER]\r\nY=2\r\n",
     "[SET]\r\nX=1\r\nCOMMISION=2.00\r\n\r\n[OTHER]\r\nY=2\r\n"},
    {"AddsKeyToEmptySection", "[SET]\n[OTHER]\n", "[SET]\nCOMMISION=2.00\n[OTHER]\n"},
    {"AddsKeyAfterLastLineWithoutEnd", "[SET]\nX=1", "[SET]\nX=1\nCOMMISION=2.00\n"},
    {"AddsSectionKeepingWindowsLineEnds", "; kept\r\n[OTHER]\r\nY=2\r\n",
     "; kept\r\n[OTHER]\r\nY=2\r\n\r\n[SET]\r\nCOMMISION=2.00\r\n"},
    {"AddsSectionAfterLastLineWithoutEnd", "[OTHER]\nY=2",
     "[OTHER]\nY=2\n\n[SET]\nCOMMISION=2.00\n"},
    {"FirstSectionOnly", "[SET]\nX=1\n[SET]\nCOMMISION=1\n",
     "[SET]\nX=1\nCOMMISION=2.00\n[SET]\nCOMMISION=1\n"},
    // A last line ended by a bare CR (a file cut short): the CR ends the line and its value, and
    // a line added after it finishes that line end instead of leaving "\r\r\n".
    {"BareCrEndsTheValue", "[SET]\r\nCOMMISION=1\r", "[SET]\r\nCOMMISION=2.00\r"},
    {"BareCrKeyAddedAfterIt", "[SET]\r\nX=1\r", "[SET]\r\nX=1\r\nCOMMISION=2.00\r\n"},
    {"BareCrSectionAddedAfterIt", "[OTHER]\r\nY=abc\r",
     "[OTHER]\r\nY=abc\r\n\r\n[SET]\r\nCOMMISION=2.00\r\n"},
    {"BareCrInALineFeedFile", "[OTHER]\nY=abc\r", "[OTHER]\nY=abc\r\n\n[SET]\nCOMMISION=2.00\n"},
    // A file whose lines end in a bare CR keeps them.
    {"BareCrFileReplace", "[SET]\rCOMMISION=1\rX=1\r", "[SET]\rCOMMISION=2.00\rX=1\r"},
    {"BareCrFileAddsKey", "[SET]\rX=1\r[OTHER]\r", "[SET]\rX=1\rCOMMISION=2.00\r[OTHER]\r"},
    {"BareCrFileAddsSection", "[OTHER]\rY=2", "[OTHER]\rY=2\r\r[SET]\rCOMMISION=2.00\r"},
    {"SectionWithoutBracket", "[SET\nX=1\n", "[SET\nX=1\nCOMMISION=2.00\n"},
};

class WriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteTest, ChangesOnlyWhatItMust) {
    const std::string after =
        SetProfileValue(GetParam().before, "SET", ProfileEntry{"COMMISION", "2.00"});
    EXPECT_EQ(after, GetParam().after);
    EXPECT_EQ(FindProfileValue(after, "SET", "COMMISION"), "2.00");
}

INSTANTIATE_TEST_SUITE_P(Files, WriteTest, testing::ValuesIn(WRITES), support::RowName{});

}  // namespace
}  // namespace trellan
