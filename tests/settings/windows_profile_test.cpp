// Our profile layer against the real Windows profile calls: files we write are read by
// GetPrivateProfileStringA as we mean them, and files that WritePrivateProfileStringA wrote
// (or a user wrote by hand) are read by us exactly as Windows reads them.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <array>
#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>
#include <windows.h>

#include "core/fee_schedule.h"

#include "settings/profile_text.h"
#include "settings/settings_file.h"
#include "settings/temp_dir.h"

namespace trellan {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

constexpr char DEFAULT_TEXT[] = "default";

std::string WindowsReads(const std::string& path, const char* section, const char* key) {
    std::array<char, VALUE_CAPACITY> buffer{};
    ::GetPrivateProfileStringA(section, key, DEFAULT_TEXT, buffer.data(),
                               static_cast<DWORD>(buffer.size()), path.c_str());
    return buffer.data();
}

std::string WeRead(const std::string& path, const char* section, const char* key) {
    std::array<char, VALUE_CAPACITY> buffer{};
    CopyProfileString(ReadFile(path), section, key, DEFAULT_TEXT, buffer);
    return buffer.data();
}

std::uint64_t Bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

// Rates compared bit for bit against the per-mille values a user would expect.
void ExpectRates(const FeeSchedule& schedule, double commission, double stampDuty,
                 double transfer) {
    EXPECT_EQ(Bits(schedule.commissionRate), Bits(FromPerMille(commission)));
    EXPECT_EQ(Bits(schedule.stampDutyRate), Bits(FromPerMille(stampDuty)));
    EXPECT_EQ(Bits(schedule.transferRate), Bits(FromPerMille(transfer)));
}

// --- Files we wrote, read by Windows ---

struct SavedCase {
    const char* name;
    const char* before;  // nullptr: no file yet
    std::array<double, 3> perMille;
    std::array<const char*, 3> texts;  // what Windows must read for the three keys
};

std::ostream& operator<<(std::ostream& out, const SavedCase& row) {
    return out << row.name;
}

const SavedCase SAVED[] = {
    {"NewFile", nullptr, {1.234, 1, 0.5}, {"1.23", "1.00", "0.50"}},
    {"SignsAndSizes", nullptr, {-1, 1000, 0}, {"-1.00", "1000.00", "0.00"}},
    {"IntoAWindowsFile",
     "; Trellan\r\n[Window]\r\nX=10\r\n\r\n[SET]\r\nCOMMISION=1.50\r\nstampduty = 1.00\r\n"
     "NOTE=kept\r\n",
     {2, 2.5, 0.01},
     {"2.00", "2.50", "0.01"}},
    {"IntoALowerCaseLfFile", "[set]\ncommision=3\n", {4, 0.8, 0.3}, {"4.00", "0.80", "0.30"}},
};

class WindowsReadsOurFile : public testing::TestWithParam<SavedCase> {};

TEST_P(WindowsReadsOurFile, GetsTheSavedValues) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    if (GetParam().before != nullptr) {
        WriteFile(path, GetParam().before);
    }
    const auto& [commission, stampDuty, transfer] = GetParam().perMille;
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), commission, stampDuty, transfer));

    EXPECT_EQ(WindowsReads(path, "SET", "COMMISION"), GetParam().texts[0]);
    EXPECT_EQ(WindowsReads(path, "SET", "STAMPDUTY"), GetParam().texts[1]);
    EXPECT_EQ(WindowsReads(path, "SET", "TRANSFER"), GetParam().texts[2]);
    // The lines we did not own are still there for Windows.
    if (GetParam().before != nullptr) {
        EXPECT_EQ(WindowsReads(path, "Window", "X"), WeRead(path, "Window", "X"));
        EXPECT_EQ(WindowsReads(path, "SET", "NOTE"), WeRead(path, "SET", "NOTE"));
    }
}

INSTANTIATE_TEST_SUITE_P(Saves, WindowsReadsOurFile, testing::ValuesIn(SAVED),
                         [](const auto& row) { return row.param.name; });

// --- Files Windows wrote, read by us ---

struct ProfileWrite {
    const char* section;
    const char* key;
    const char* value;  // nullptr deletes the key, as the platform call does
};

struct WrittenCase {
    const char* name;
    const char* before;  // nullptr: no file yet
    std::vector<ProfileWrite> writes;
    std::array<double, 3> perMille;  // what LoadFeeSchedule must give afterwards
};

std::ostream& operator<<(std::ostream& out, const WrittenCase& row) {
    return out << row.name;
}

const WrittenCase WRITTEN[] = {
    {"ThreeKeys",
     nullptr,
     {{"SET", "COMMISION", "2.50"}, {"SET", "STAMPDUTY", "0.80"}, {"SET", "TRANSFER", "0.30"}},
     {2.5, 0.8, 0.3}},
    {"SeveralSections",
     nullptr,
     {{"Window", "X", "10"},
      {"SET", "COMMISION", "3.00"},
      {"Other", "COMMISION", "9"},
      {"SET", "TRANSFER", "0.60"},
      {"Window", "Y", "20"}},
     {3.0, 1.0, 0.6}},
    {"ExistingFileWithComments",
     "; kept by hand\r\n[SET]\r\n; the old rate\r\nCOMMISION=1.50\r\nSTAMPDUTY=1.00\r\n\r\n"
     "[Window]\r\nX=1\r\n",
     {{"SET", "COMMISION", "4.00"}, {"SET", "TRANSFER", "0.25"}, {"Window", "X", "2"}},
     {4.0, 1.0, 0.25}},
    {"NamesInOtherCase",
     "[set]\r\n commision = 1.50 \r\n",
     {{"Set", "Commision", "2.00"}, {"SET", "stampduty", "0.90"}},
     {2.0, 0.9, 1.0}},
    {"ExistingLfFile",
     "[SET]\nCOMMISION=1.5\nSTAMPDUTY=1\n",
     {{"SET", "TRANSFER", "0.70"}},
     {1.5, 1.0, 0.7}},
    {"DeletedKeyGivesTheDefault",
     "[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=3.00\r\n",
     {{"SET", "COMMISION", nullptr}},
     {1.5, 3.0, 1.0}},
    {"EmptyValue", nullptr, {{"SET", "COMMISION", ""}}, {0.0, 1.0, 1.0}},
};

class WeReadWindowsFile : public testing::TestWithParam<WrittenCase> {};

TEST_P(WeReadWindowsFile, ReadsWhatWindowsReads) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    if (GetParam().before != nullptr) {
        WriteFile(path, GetParam().before);
    }
    for (const ProfileWrite& write : GetParam().writes) {
        ASSERT_TRUE(
            ::WritePrivateProfileStringA(write.section, write.key, write.value, path.c_str()));
    }
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // flush

    std::vector<ProfileWrite> queries = GetParam().writes;
    for (const char* key : {"COMMISION", "STAMPDUTY", "TRANSFER", "ABSENT"}) {
        queries.push_back({"SET", key, nullptr});
    }
    for (const ProfileWrite& query : queries) {
        SCOPED_TRACE(std::string(query.section) + "/" + query.key);
        EXPECT_EQ(WeRead(path, query.section, query.key),
                  WindowsReads(path, query.section, query.key));
    }
    const auto& [commission, stampDuty, transfer] = GetParam().perMille;
    ExpectRates(LoadFeeSchedule(path.c_str()), commission, stampDuty, transfer);
}

INSTANTIATE_TEST_SUITE_P(Writes, WeReadWindowsFile, testing::ValuesIn(WRITTEN),
                         [](const auto& row) { return row.param.name; });

// --- Files written by hand, read alike ---

struct HandWrittenCase {
    const char* name;
    const char* file;
};

std::ostream& operator<<(std::ostream& out, const HandWrittenCase& row) {
    return out << row.name;
}

const HandWrittenCase HAND_WRITTEN[] = {
    {"Plain", "[SET]\nCOMMISION=2.5\n"},
    {"WindowsLineEnds", "[SET]\r\nCOMMISION=2.50\r\nSTAMPDUTY=1.00\r\n"},
    {"NoFinalLineEnd", "[SET]\nCOMMISION=3"},
    {"CaseOfNames", "[set]\ncommision=4\n"},
    {"BlanksAroundNamesAndValues", "  [ SET ]  \n\t COMMISION \t=  5.5  \t\n"},
    {"DoubleQuoted", "[SET]\nCOMMISION=\" 6 \"\n"},
    {"SingleQuoted", "[SET]\nCOMMISION='7'\n"},
    {"EmptyValue", "[SET]\nCOMMISION=\n"},
    {"ValueWithEquals", "[SET]\nCOMMISION=a=b\n"},
    {"CommentsAndOtherSections",
     "; rates\r\n[OTHER]\r\nCOMMISION=9\r\n\r\n[SET]\r\n;COMMISION=8\r\nCOMMISION=2\r\n"},
    {"KeyBeforeAnySection", "COMMISION=1\n[SET]\n"},
    {"MissingSection", "[OTHER]\nCOMMISION=1\n"},
    {"Empty", ""},
    {"LongValueIsCut",
     "[SET]\nCOMMISION=1234567890123456789012345678901234567890123456789012345"
     "678901234567890123456789012345678901234567890123456789\n"},
};

class HandWrittenFile : public testing::TestWithParam<HandWrittenCase> {};

TEST_P(HandWrittenFile, IsReadAsWindowsReadsIt) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    WriteFile(path, GetParam().file);
    EXPECT_EQ(WeRead(path, "SET", "COMMISION"), WindowsReads(path, "SET", "COMMISION"));
}

INSTANTIATE_TEST_SUITE_P(Files, HandWrittenFile, testing::ValuesIn(HAND_WRITTEN),
                         [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace trellan
