// Our profile layer against the real Windows profile calls, both ways: in files written by hand or
// by WritePrivateProfileStringA we read what GetPrivateProfileStringA reads, and after our save
// it reads our values and every other line as before.
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/fee_schedule.h"

#include "settings/profile_encoding.h"
#include "settings/profile_text.h"
#include "settings/settings_file.h"
#include "settings/windows_api.h"

#include "support/rates.h"
#include "support/temp_dir.h"

namespace trellan {
namespace {

struct Entry {
    const char* section;
    const char* key;
    const char* text;  // written (nullptr deletes the key, as the platform call does) or default
};

// What both sides are asked in every file: the three rates with their defaults, then lines that
// are not ours.
const Entry QUERIES[] = {{"SET", "COMMISION", "1.5"}, {"SET", "STAMPDUTY", "1.0"},
                         {"SET", "TRANSFER", "1.0"},  {"SET", "NOTE", "default"},
                         {"Window", "X", "default"},  {"OTHER", "COMMISION", "default"}};

// What Windows reads for the query, and what we read.
std::array<std::string, 2> BothRead(const std::string& path, const Entry& query) {
    std::array<char, VALUE_CAPACITY> windows{};
    std::array<char, VALUE_CAPACITY> ours{};
    ::GetPrivateProfileStringA(query.section, query.key, query.text, windows.data(),
                               static_cast<DWORD>(windows.size()), path.c_str());
    CopyProfileString(DecodeProfileFile(support::ReadFile(path)).text, query.section, query.key,
                      query.text, ours);
    return {windows.data(), ours.data()};
}

struct FileCase {
    const char* name;
    std::optional<std::string> before;  // written by hand; none: no file
    std::vector<Entry> writes;          // then by WritePrivateProfileStringA
};

// An empty value, one holding "=" and one longer than the buffer, which both sides cut alike.
const std::string LONG_NOTE = "[SET]\nCOMMISION=\nSTAMPDUTY=a=b\nNOTE=" + std::string(120, '7');

const FileCase FILES[] = {
    {"NoFile", std::nullopt, {}},
    {"Empty", "", {}},
    {"Blanks", " [ set ] \r\n\tcommision = 5.5\t\r\nStampDuty=\" 6 \"\r\nTRANSFER='7'", {}},
    {"EmptyValueEqualsAndCutValue", LONG_NOTE.c_str(), {}},
    {"Comments", "; r\r\n[OTHER]\r\nCOMMISION=9\r\n[SET]\r\n;COMMISION=8\r\nCOMMISION=2\r\n", {}},
    {"OtherLines", "[Window]\r\nX=10\r\n[SET]\r\nstampduty = 1.00\r\nNOTE=kept\r\n", {}},
    {"KeyBeforeAnySection", "COMMISION=1\n[OTHER]\nSTAMPDUTY=2\n", {}},
    {"Sections", std::nullopt, {{"SET", "COMMISION", "3"}, {"Other", "COMMISION", "9"}}},
    {"Existing", "; kept\r\n[SET]\r\nCOMMISION=1.5\r\n[Window]\r\nX=1\r\n", {{"Window", "X", "2"}}},
    {"OtherCase", "[set]\r\ncommision = 1.5\r\n", {{"Set", "Commision", "2"}}},
    {"ExistingLfFile", "[SET]\nCOMMISION=1.5\nSTAMPDUTY=1\n", {{"SET", "TRANSFER", "0.70"}}},
    {"DeletedKey", "[SET]\r\nCOMMISION=2\r\nSTAMPDUTY=3\r\n", {{"SET", "COMMISION", nullptr}}},
    {"EmptyValue", std::nullopt, {{"SET", "COMMISION", ""}}},
    {"Utf16Le",
     support::Utf16File(u"; 费率\r\n[SET]\r\nCOMMISION=2.5\r\nNOTE=kept\r\n[Window]\r\nX=1\r\n"),
     {}},
    {"Utf16LeWrittenByWindows",
     support::Utf16File(u"; 费率\r\n[Window]\r\nX=1\r\n"),
     {{"SET", "STAMPDUTY", "3"}}},
    {"BareCr", "[Window]\rX=1\r[SET]\rCOMMISION=2.5\rNOTE=kept\r", {}},
};

class ProfileAgreement : public testing::TestWithParam<FileCase> {};

TEST_P(ProfileAgreement, BothWays) {
    const support::TempDir dir;
    const std::string path = dir.File("Set.ini");
    if (GetParam().before) {
        support::WriteFile(path, *GetParam().before);
    }
    std::vector<Entry> queries(std::begin(QUERIES), std::end(QUERIES));
    for (const Entry& line : GetParam().writes) {
        ASSERT_TRUE(::WritePrivateProfileStringA(line.section, line.key, line.text, path.c_str()));
        queries.push_back({line.section, line.key, "default"});
    }
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // flush
    std::vector<std::string> read;
    for (const Entry& query : queries) {
        const auto [windows, ours] = BothRead(path, query);
        EXPECT_EQ(ours, windows) << query.section << "/" << query.key;
        read.push_back(windows);
    }
    // Loading takes what Windows reads for each rate through atof.
    const FeeSchedule loaded = LoadFeeSchedule(path.c_str());
    EXPECT_EQ(loaded.commissionRate, FromPerMille(PerMille{std::atof(read[0].c_str())}));
    EXPECT_EQ(loaded.stampDutyRate, FromPerMille(PerMille{std::atof(read[1].c_str())}));
    EXPECT_EQ(loaded.transferRate, FromPerMille(PerMille{std::atof(read[2].c_str())}));

    // After our save Windows reads our three values, and every other as before.
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), support::Rates(-1, 1000, 1.234)));
    const std::array<std::string, 3> saved = {"-1.00", "1000.00", "1.234"};
    for (std::size_t i = 0; i < std::size(QUERIES); ++i) {
        EXPECT_EQ(BothRead(path, queries[i])[0], i < saved.size() ? saved.at(i) : read[i])
            << queries[i].section << "/" << queries[i].key;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileAgreement, testing::ValuesIn(FILES),
                         [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace trellan
