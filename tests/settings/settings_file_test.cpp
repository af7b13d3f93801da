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
#include <unistd.h>
#include <utility>

#include "core/fee_schedule.h"

#include "settings/fee_settings.h"
#include "settings/file_io.h"
#include "settings/profile_encoding.h"

#include "support/rates.h"
#include "support/temp_dir.h"

namespace trellan {
namespace {

using support::ReadFile;
using support::TempDir;
using support::WriteFile;

std::string PathBeside(const std::string& module) {
    std::array<char, PATH_BUFFER_SIZE> path{};
    path.fill('#');
    SettingsPathBeside(module.c_str(), path);
    return path.data();
}

#ifdef _WIN32
TEST(SettingsPath, IsSetIniBesideTheExecutable) {
    std::array<char, PATH_BUFFER_SIZE> path{};
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

    // What Windows can open is the limit, in UTF-16 units: a folder of 90 Chinese characters
    // (270 bytes of UTF-8) is well within it. A folder of 252 units with its separator leaves
    // just room for "Set.ini" and the zero, in any script.
    std::string chinese;
    for (int i = 0; i < 90; ++i) {
        chinese += "交";
    }
    EXPECT_EQ(PathBeside("C:\\" + chinese + "\\calc.exe"), "C:\\" + chinese + "\\Set.ini");
    for (const auto& [character, units] :
         {std::pair<std::string, std::size_t>{"d", 1}, {"交", 1}, {"𝄞", 2}}) {
        std::string name;
        for (std::size_t n = 0; n < 248 / units; ++n) {
            name += character;
        }
        const std::string fits = "C:\\" + name + "\\";
        EXPECT_EQ(PathBeside(fits + "a.exe"), fits + "Set.ini") << character;
        EXPECT_EQ(PathBeside("C:\\" + name + character + "\\a.exe"), "") << character;
    }
    // The platform hands out what fits our buffer; a longer module path is not one we were given.
    EXPECT_EQ(PathBeside("C:\\a\\" + std::string(PATH_BUFFER_SIZE, 'c')), "");
}
#else
TEST(SettingsPath, IsSetIniBesideTheExecutable) {
    std::array<char, PATH_BUFFER_SIZE> path{};
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
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), support::Rates(1.234, 1, 0.5)));
#ifdef _WIN32
    EXPECT_EQ(ReadFile(path), "[SET]\r\nCOMMISION=1.234\r\nSTAMPDUTY=1.00\r\nTRANSFER=0.50\r\n");
#else
    EXPECT_EQ(ReadFile(path), "[SET]\nCOMMISION=1.234\nSTAMPDUTY=1.00\nTRANSFER=0.50\n");
#endif
    const FeeSchedule next = LoadFeeSchedule(path.c_str());
    EXPECT_EQ(next.commissionRate, FromPerMille(PerMille{1.234}));
    EXPECT_EQ(next.transferRate, FromPerMille(PerMille{0.5}));
    // Nothing but the settings file is left in the directory.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

struct FileFormCase {
    const char* name;
    std::string before;
    std::string after;  // after saving 2, -1 and 1000
};

std::ostream& operator<<(std::ostream& out, const FileFormCase& row) {
    return out << row.name;
}

using support::Utf16File;

// Each file is saved in its own encoding and line ends, every other line kept.
const FileFormCase FILE_FORMS[] = {
    {"WindowsFile",
     "; Trellan\r\n[Window]\r\nX=10\r\n\r\n[SET]\r\nCOMMISION=1.50\r\nstampduty = 1.00\r\n"
     "TRANSFER=1.00\r\nNOTE=kept\r\n",
     "; Trellan\r\n[Window]\r\nX=10\r\n\r\n[SET]\r\nCOMMISION=2.00\r\nstampduty = -1.00\r\n"
     "TRANSFER=1000.00\r\nNOTE=kept\r\n"},
    {"Utf16Le", Utf16File(u"[SET]\r\nCOMMISION=1.50\r\nNOTE=费率\U0001F4B9\r\n"),
     Utf16File(u"[SET]\r\nCOMMISION=2.00\r\nNOTE=费率\U0001F4B9\r\nSTAMPDUTY=-1.00\r\n"
               u"TRANSFER=1000.00\r\n")},
    {"Utf16LeWithoutTheSection", Utf16File(u"; 费率\r\n"),
     Utf16File(u"; 费率\r\n\r\n[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=-1.00\r\n"
               u"TRANSFER=1000.00\r\n")},
#ifdef _WIN32
    {"Utf16LeMarkOnly", Utf16File(u""),
     Utf16File(u"[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=-1.00\r\nTRANSFER=1000.00\r\n")},
#else
    {"Utf16LeMarkOnly", Utf16File(u""),
     Utf16File(u"[SET]\nCOMMISION=2.00\nSTAMPDUTY=-1.00\nTRANSFER=1000.00\n")},
#endif
    // Half a surrogate pair and a stray last byte are not ours to mend: they stay as they were.
    {"Utf16LeOddUnitsKept", Utf16File(u"[SET]\r\n;\xD800\r\nCOMMISION=1\r\n") + "\x41",
     Utf16File(u"[SET]\r\n;\xD800\r\nCOMMISION=2.00\r\nSTAMPDUTY=-1.00\r\n"
               u"TRANSFER=1000.00\r\n") +
         "\x41"},
    {"Utf16Be", Utf16File(u"[SET]\r\nTRANSFER=1\r\n", true),
     Utf16File(u"[SET]\r\nTRANSFER=1000.00\r\nCOMMISION=2.00\r\nSTAMPDUTY=-1.00\r\n", true)},
    {"BareCr", "[SET]\rCOMMISION=1.50\r[OTHER]\rX=1\r",
     "[SET]\rCOMMISION=2.00\rSTAMPDUTY=-1.00\rTRANSFER=1000.00\r[OTHER]\rX=1\r"},
    // The mark breaks the first header, as on Windows: a section of ours follows.
    {"Utf8Mark", "\xEF\xBB\xBF[SET]\nCOMMISION=1.50\n",
     "\xEF\xBB\xBF[SET]\nCOMMISION=1.50\n\n[SET]\nCOMMISION=2.00\nSTAMPDUTY=-1.00\n"
     "TRANSFER=1000.00\n"},
};

class FileFormTest : public testing::TestWithParam<FileFormCase> {};

TEST_P(FileFormTest, SavesInTheFilesOwnForm) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    WriteFile(path, GetParam().before);
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), support::Rates(2, -1, 1000)));
    EXPECT_EQ(ReadFile(path), GetParam().after);
    const FeeSchedule loaded = LoadFeeSchedule(path.c_str());
    EXPECT_EQ(loaded.commissionRate, FromPerMille(PerMille{2}));
    EXPECT_EQ(loaded.transferRate, FromPerMille(PerMille{1000}));
}

INSTANTIATE_TEST_SUITE_P(Files, FileFormTest, testing::ValuesIn(FILE_FORMS),
                         [](const auto& row) { return row.param.name; });

// Windows has no permission bits or user symbolic links; its attributes and read-only files are
// tested in windows_profile_test.cpp.
#ifndef _WIN32
// A save by root (an administrator's) leaves a user's file the user's, so that they can still
// save to it; anyone else keeps the owner they may give, their own.
TEST(SaveFeeSchedule, KeepsTheFilePermissionsAndOwner) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    WriteFile(path, "[SET]\n");
    const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();
    ASSERT_EQ(::chown(path.c_str(), owner, group), 0);
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), support::Rates(2, 1, 1)));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_gid, group);
}

TEST(SaveFeeSchedule, ReplacesTheFileALinkPointsTo) {
    const TempDir dir;
    const std::string real = dir.File("real.ini");
    const std::string link = dir.File("Set.ini");
    WriteFile(real, "[SET]\n");
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(SaveFeeSchedule(link.c_str(), support::Rates(2, 1, 1)));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(LoadFeeSchedule(real.c_str()).commissionRate, FromPerMille(PerMille{2}));
}
#endif

TEST(SaveFeeSchedule, NeverGrowsTheFilePastWhatLoadingAccepts) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    const std::string full = std::string(MAX_SETTINGS_FILE_SIZE - 7, ';') + "\n[SET]\n";
    WriteFile(path, full);
    EXPECT_FALSE(SaveFeeSchedule(path.c_str(), support::Rates(2, 1, 1)));
    EXPECT_EQ(ReadFile(path), full);
}

TEST(SaveFeeSchedule, FailsWithoutChangingAnything) {
    const TempDir dir;
    EXPECT_FALSE(SaveFeeSchedule("", support::Rates(2, 1, 1)));
    EXPECT_FALSE(SaveFeeSchedule(dir.File("missing/Set.ini").c_str(), support::Rates(2, 1, 1)));

    const std::string directory = dir.File("Set.ini");
    std::filesystem::create_directory(directory);
    EXPECT_FALSE(SaveFeeSchedule(directory.c_str(), support::Rates(2, 1, 1)));
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
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), support::Rates(GetParam().perMille, 1, 1)));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(LoadFeeSchedule(path.c_str()).commissionRate),
              std::bit_cast<std::uint64_t>(FromPerMille(PerMille{GetParam().perMille})));
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
    const bool saved = SaveFeeSchedule(path.c_str(), support::Rates(1.5, 1, 1));
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

namespace trellan {
namespace {

FeeSchedule2023 PerMille2023(double commission, double stampDuty, double transfer,
                             double minCommission) {
    return {FromPerMille(PerMille{commission}), FromPerMille(PerMille{stampDuty}),
            FromPerMille(PerMille{transfer}), minCommission};
}

struct RulesFileCase {
    const char* name;
    const char* fileText;
    FeeRules rules;
    FeeSchedule2023 since2023;
    bool has2023Section;
};

std::ostream& operator<<(std::ostream& out, const RulesFileCase& row) {
    return out << row.name;
}

const RulesFileCase RULES_FILES[] = {
    {"NoFile", "", FeeRules::Classic, {}, false},
    {"BothSetsWithoutRulesAreClassic",
     "[SET]\r\nCOMMISION=2.00\r\n\r\n[SET2023]\r\nCOMMISION=0.30\r\nMINCOMMISSION=0\r\n",
     FeeRules::Classic, PerMille2023(0.3, 0.5, 0.01, 0), true},
    {"TodaysRulesWithTheirDefaults", "[SET]\r\nRULES=2023\r\n", FeeRules::Since2023, {}, false},
    {"KeyAndSectionInLowerCase", "[set]\nrules = 2023\n[set2023]\nstampduty=1\n",
     FeeRules::Since2023, PerMille2023(0.25, 1, 0.01, 5), true},
    {"AnyOtherValueIsClassic", "[SET]\r\nRULES=2023.0\r\n", FeeRules::Classic, {}, false},
    {"RulesOutsideTheirSectionAreClassic",
     "[SET2023]\r\nRULES=2023\r\n",
     FeeRules::Classic,
     {},
     true},
    {"EveryKeyOfTodaysSet",
     "[SET]\r\nRULES=2023\r\n[SET2023]\r\nCOMMISION=0.125\r\nSTAMPDUTY=0.5\r\nTRANSFER=0.02\r\n"
     "MINCOMMISSION=0.1\r\n",
     FeeRules::Since2023, PerMille2023(0.125, 0.5, 0.02, 0.1), true},
};

class RulesFileTest : public testing::TestWithParam<RulesFileCase> {};

TEST_P(RulesFileTest, ReadsTheRulesAndTodaysSet) {
    const RulesFileCase& row = GetParam();
    const FeeSettings settings = FeeSettingsFromText(row.fileText);
    EXPECT_EQ(settings.rates.rules, row.rules);
    const FeeSchedule2023& got = settings.rates.since2023;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(got.commissionRate),
              std::bit_cast<std::uint64_t>(row.since2023.commissionRate));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(got.stampDutyRate),
              std::bit_cast<std::uint64_t>(row.since2023.stampDutyRate));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(got.transferRate),
              std::bit_cast<std::uint64_t>(row.since2023.transferRate));
    EXPECT_EQ(got.minCommission, row.since2023.minCommission);
    EXPECT_EQ(settings.has2023Section, row.has2023Section);
    // The classic rates are read exactly as ever.
    EXPECT_EQ(settings.rates.classic.commissionRate,
              FeeScheduleFromText(row.fileText).commissionRate);
}

INSTANTIATE_TEST_SUITE_P(Files, RulesFileTest, testing::ValuesIn(RULES_FILES),
                         [](const auto& row) { return row.param.name; });

struct RulesSaveCase {
    const char* name;
    const char* before;
    ConfirmedFees fees;
    const char* after;
};

std::ostream& operator<<(std::ostream& out, const RulesSaveCase& row) {
    return out << row.name;
}

const ConfirmedFees CLASSIC_ONLY{FeeRules::Classic, support::Rates(2, 1, 1), false, {}};
const ConfirmedFees TODAY{
    FeeRules::Since2023, support::Rates(1.5, 1, 1), true, {support::Rates(0.25, 0.5, 0.01), 5}};
const ConfirmedFees BACK_TO_CLASSIC{
    FeeRules::Classic, support::Rates(1.5, 1, 1), true, {support::Rates(0.2, 0.5, 0.01), 0}};

const RulesSaveCase RULES_SAVES[] = {
    {"ClassicAloneWritesNoNewKey", "[SET]\r\nCOMMISION=1.50\r\n", CLASSIC_ONLY,
     "[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n"},
    {"TodaysRulesBesideTheClassicKeys", "; mine\r\n[SET]\r\nCOMMISION=1.50\r\n[Window]\r\nX=1\r\n",
     TODAY,
     "; mine\r\n[SET]\r\nCOMMISION=1.50\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\nRULES=2023\r\n"
     "[Window]\r\nX=1\r\n\r\n[SET2023]\r\nCOMMISION=0.25\r\nSTAMPDUTY=0.50\r\nTRANSFER=0.01\r\n"
     "MINCOMMISSION=5.00\r\n"},
    {"BackToClassicKeepsTodaysSet",
     "[SET]\nrules = 2023 \nCOMMISION=1.50\n[SET2023]\nMINCOMMISSION=5.00\n;note\n",
     BACK_TO_CLASSIC,
     "[SET]\nrules = 2008 \nCOMMISION=1.50\nSTAMPDUTY=1.00\nTRANSFER=1.00\n[SET2023]\n"
     "MINCOMMISSION=0.00\n;note\nCOMMISION=0.20\nSTAMPDUTY=0.50\nTRANSFER=0.01\n"},
};

class RulesSaveTest : public testing::TestWithParam<RulesSaveCase> {};

TEST_P(RulesSaveTest, KeepsEveryOtherByte) {
    const RulesSaveCase& row = GetParam();
    EXPECT_EQ(SettingsTextWith(row.before, row.fees), row.after);
}

INSTANTIATE_TEST_SUITE_P(Files, RulesSaveTest, testing::ValuesIn(RULES_SAVES),
                         [](const auto& row) { return row.param.name; });

// Through the file, bit for bit also where two decimals do not hold the rate; a UTF-16 file
// takes the new keys in UTF-16.
TEST(SaveFeeSettings, TodaysSetReadsBackExactly) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    ConfirmedFees exact = TODAY;
    exact.since2023 = {support::Rates(0.125, 0.5, 0.01), 0.1};
    ASSERT_TRUE(SaveFeeSettings(path.c_str(), exact));
    const FeeSchedule2023 again = LoadFeeSettings(path.c_str()).rates.since2023;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(again.commissionRate),
              std::bit_cast<std::uint64_t>(FromPerMille(PerMille{0.125})));
    EXPECT_EQ(again.minCommission, 0.1);
    EXPECT_FALSE(SaveFeeSettings("", TODAY));

    const std::string utf16 = SettingsTextWith(std::string("\xFF\xFE[\0S\0E\0T\0]\0", 12), TODAY);
    EXPECT_EQ(DecodeProfileFile(utf16).encoding, ProfileEncoding::Utf16Le);
    EXPECT_EQ(FeeSettingsFromText(utf16).rates.rules, FeeRules::Since2023);
}

}  // namespace
}  // namespace trellan
