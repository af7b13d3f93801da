#include "settings/settings_file.h"

#include <array>
#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <sys/stat.h>

#include "core/fee_schedule.h"

#include "settings/file_io.h"
#include "settings/temp_dir.h"

namespace trellan {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

std::string PathBeside(const std::string& module) {
    std::array<char, PATH_CAPACITY> path{};
    path.fill('#');
    SettingsPathBeside(module.c_str(), path);
    return path.data();
}

#ifdef _WIN32
TEST(SettingsPath, IsSetIniBesideTheExecutable) {
    std::array<char, PATH_CAPACITY> path{};
    BuildSettingsPath(path);
    const std::string settings = path.data();
    ASSERT_GT(settings.size(), 10U);
    EXPECT_EQ(settings.substr(settings.size() - 8), "\\Set.ini");
    EXPECT_EQ(settings.find('/'), std::string::npos);
    // Our paths are UTF-8, which std::filesystem only takes as char8_t on Windows.
    const std::filesystem::path directory =
        std::filesystem::path(std::u8string(settings.begin(), settings.end())).parent_path();
    EXPECT_TRUE(std::filesystem::exists(directory / "settings_tests.exe"));
}

TEST(SettingsPath, FitsItsBufferOrStaysEmpty) {
    EXPECT_EQ(PathBeside("C:\\Tools\\calc.exe"), "C:\\Tools\\Set.ini");
    EXPECT_EQ(PathBeside("C:\\calc.exe"), "C:\\Set.ini");
    EXPECT_EQ(PathBeside("\\\\server\\share\\calc.exe"), "\\\\server\\share\\Set.ini");
    EXPECT_EQ(PathBeside("calc.exe"), "");
    EXPECT_EQ(PathBeside(""), "");

    // A directory of 248 bytes with its separator leaves just room for "Set.ini" and the zero.
    const std::string fits = "C:\\" + std::string(244, 'd') + "\\";
    ASSERT_EQ(fits.size(), 248U);
    EXPECT_EQ(PathBeside(fits + "a.exe"), fits + "Set.ini");
    EXPECT_EQ(PathBeside("C:\\" + std::string(245, 'd') + "\\a.exe"), "");
    // The platform hands out at most 254 bytes; a longer module path is not a path we were given.
    EXPECT_EQ(PathBeside("C:\\a\\" + std::string(250, 'c')), "");
}
#else
TEST(SettingsPath, IsSetIniBesideTheExecutable) {
    std::array<char, PATH_CAPACITY> path{};
    BuildSettingsPath(path);
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(std::string(path.data()), (self.parent_path() / "Set.ini").string());
}

TEST(SettingsPath, FitsItsBufferOrStaysEmpty) {
    EXPECT_EQ(PathBeside("/opt/tools/calc"), "/opt/tools/Set.ini");
    EXPECT_EQ(PathBeside("/calc"), "/Set.ini");
    EXPECT_EQ(PathBeside("calc"), "");
    EXPECT_EQ(PathBeside(""), "");

    // A directory of 248 bytes with its separator leaves just room for "Set.ini" and the zero.
    const std::string fits = "/" + std::string(246, 'd') + "/";
    ASSERT_EQ(fits.size(), 248U);
    EXPECT_EQ(PathBeside(fits + "calc"), fits + "Set.ini");
    EXPECT_EQ(PathBeside("/" + std::string(247, 'd') + "/calc"), "");
    // The platform hands out at most 254 bytes; a longer module path is not a path we were given.
    // Appended, not prefixed: GCC 12 at -O3 takes the prefixing insert for an overlapping copy.
    EXPECT_EQ(PathBeside(std::string("/a/").append(252, 'c')), "");
}
#endif

TEST(LoadFeeSchedule, DefaultsEqualTheInitialScheduleBitForBit) {
    const FeeSchedule loaded = LoadFeeSchedule("");
    const FeeSchedule initial;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(loaded.commissionRate),
              std::bit_cast<std::uint64_t>(initial.commissionRate));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(loaded.stampDutyRate),
              std::bit_cast<std::uint64_t>(initial.stampDutyRate));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(loaded.transferRate),
              std::bit_cast<std::uint64_t>(initial.transferRate));
}

TEST(LoadFeeSchedule, UnreadableFileGivesDefaults) {
    const TempDir dir;
    std::filesystem::create_directory(dir.File("Set.ini"));
    const FeeSchedule schedule = LoadFeeSchedule(dir.File("Set.ini").c_str());
    EXPECT_EQ(schedule.commissionRate, FeeSchedule{}.commissionRate);
}

TEST(SaveFeeSchedule, WritesInKeyOrderWhatReadsBack) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), 1.234, 1, 0.5));
#ifdef _WIN32
    EXPECT_EQ(ReadFile(path), "[SET]\r\nCOMMISION=1.234\r\nSTAMPDUTY=1.00\r\nTRANSFER=0.50\r\n");
#else
    EXPECT_EQ(ReadFile(path), "[SET]\nCOMMISION=1.234\nSTAMPDUTY=1.00\nTRANSFER=0.50\n");
#endif
    const FeeSchedule next = LoadFeeSchedule(path.c_str());
    EXPECT_EQ(next.commissionRate, FromPerMille(1.234));
    EXPECT_EQ(next.transferRate, FromPerMille(0.5));
    // Nothing but the settings file is left in the directory.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(SaveFeeSchedule, KeepsEveryOtherByteOfAWindowsFile) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    WriteFile(path,
              "; Trellan\r\n[Window]\r\nX=10\r\n\r\n[SET]\r\nCOMMISION=1.50\r\nstampduty = 1.00\r\n"
              "TRANSFER=1.00\r\nNOTE=kept\r\n");
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), 2, -1, 1000));
    EXPECT_EQ(
        ReadFile(path),
        "; Trellan\r\n[Window]\r\nX=10\r\n\r\n[SET]\r\nCOMMISION=2.00\r\nstampduty = -1.00\r\n"
        "TRANSFER=1000.00\r\nNOTE=kept\r\n");
}

// Windows has no permission bits or user symbolic links; its attributes and read-only files are
// tested in windows_profile_test.cpp.
#ifndef _WIN32
TEST(SaveFeeSchedule, KeepsTheFilePermissions) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    WriteFile(path, "[SET]\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), 2, 1, 1));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
}

TEST(SaveFeeSchedule, ReplacesTheFileALinkPointsTo) {
    const TempDir dir;
    const std::string real = dir.File("real.ini");
    const std::string link = dir.File("Set.ini");
    WriteFile(real, "[SET]\n");
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(SaveFeeSchedule(link.c_str(), 2, 1, 1));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(LoadFeeSchedule(real.c_str()).commissionRate, FromPerMille(2));
}
#endif

TEST(SaveFeeSchedule, NeverGrowsTheFilePastWhatLoadingAccepts) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    const std::string full = std::string(MAX_SETTINGS_FILE_SIZE - 7, ';') + "\n[SET]\n";
    WriteFile(path, full);
    EXPECT_FALSE(SaveFeeSchedule(path.c_str(), 2, 1, 1));
    EXPECT_EQ(ReadFile(path), full);
}

TEST(SaveFeeSchedule, FailsWithoutChangingAnything) {
    const TempDir dir;
    EXPECT_FALSE(SaveFeeSchedule("", 2, 1, 1));
    EXPECT_FALSE(SaveFeeSchedule(dir.File("missing/Set.ini").c_str(), 2, 1, 1));

    const std::string directory = dir.File("Set.ini");
    std::filesystem::create_directory(directory);
    EXPECT_FALSE(SaveFeeSchedule(directory.c_str(), 2, 1, 1));
    EXPECT_TRUE(std::filesystem::is_directory(directory));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

struct ValueCase {
    const char* name;
    double perMille;
    const char* text;
};

std::ostream& operator<<(std::ostream& out, const ValueCase& row) {
    return out << row.name;
}

const double INF = std::numeric_limits<double>::infinity();

// Each value reads back as the very double the user confirmed; two decimals wherever they do.
const ValueCase VALUES[] = {
    {"TwoDecimals", 1.5, "1.50"},
    {"Negative", -1, "-1.00"},
    {"Thousand", 1000, "1000.00"},
    {"NegativeZero", -0.0, "-0.00"},
    {"TenthReadsBackFromTwoDecimals", 0.1, "0.10"},
    {"QuotedCommission", 0.125, "0.125"},
    {"QuotedCommissionBelowItsTie", 0.085, "0.085"},
    {"TieInTwoDecimals", 0.625, "0.625"},
    {"BelowTheTie", 1.005, "1.005"},
    {"Third", 1.0 / 3, "0.3333333333333333"},
    {"Small", 1e-5, "0.00001"},
    {"TooSmallForFixed", 1e-300, "1e-300"},
    {"Denormal", -4.9406564584124654e-324, "-5e-324"},
    {"LongestFixedThatFits", 9.99e95, nullptr},
    {"TooLongForFixed", 1e300, "1e+300"},
    {"Largest", -std::numeric_limits<double>::max(), "-1.7976931348623157e+308"},
    {"Infinity", INF, "1e999"},
    {"NegativeInfinity", -INF, "-1e999"},
};

class ValueTextTest : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueTextTest, FitsAndReadsBack) {
    std::array<char, VALUE_CAPACITY> buffer{};
    FormatSettingsValue(GetParam().perMille, buffer);
    const std::string text = buffer.data();
    EXPECT_LT(text.size(), VALUE_CAPACITY);
    if (GetParam().text != nullptr) {
        EXPECT_EQ(text, GetParam().text);
    }
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), GetParam().perMille, 1, 1));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(LoadFeeSchedule(path.c_str()).commissionRate),
              std::bit_cast<std::uint64_t>(FromPerMille(GetParam().perMille)));
}

INSTANTIATE_TEST_SUITE_P(Values, ValueTextTest, testing::ValuesIn(VALUES),
                         [](const auto& row) { return row.param.name; });

// A user whose locale writes decimal commas still gets "1.50", and "1.5" still reads as 1.5.
TEST(Locale, DecimalCommaLocaleChangesNothing) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
#ifdef _WIN32
    const char* decimalComma = "German_Germany.1252";
#else
    const char* decimalComma = "de_DE.UTF-8";
#endif
    if (std::setlocale(LC_ALL, decimalComma) == nullptr) {
        GTEST_SKIP() << "locale " << decimalComma
                     << " is not installed (scripts/install-deps.sh makes it)";
    }
    std::array<char, SUMMARY_BUFFER_SIZE> summary{};
    FormatRateSummary(FeeSchedule{}, summary);
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    const bool saved = SaveFeeSchedule(path.c_str(), 1.5, 1, 1);
    const FeeSchedule loaded = LoadFeeSchedule(path.c_str());
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_STREQ(summary.data(), "佣金1.50‰,花税1.00‰,过户费1.00‰");
    ASSERT_TRUE(saved);
#ifdef _WIN32
    EXPECT_EQ(ReadFile(path), "[SET]\r\nCOMMISION=1.50\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n");
#else
    EXPECT_EQ(ReadFile(path), "[SET]\nCOMMISION=1.50\nSTAMPDUTY=1.00\nTRANSFER=1.00\n");
#endif
    EXPECT_EQ(loaded.commissionRate, FeeSchedule{}.commissionRate);
}

}  // namespace
}  // namespace trellan
