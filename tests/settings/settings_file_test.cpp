// The settings file read and saved through the settings layer, in every build: the files users
// carry, Windows' and ours alike, and saves that write what reads back or, failing, nothing.
#include "settings/settings_file.h"

#include <array>
#include <bit>
#include <clocale>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "core/fee_schedule.h"

#include "settings/fee_settings.h"
#include "settings/file_io.h"
#include "settings/profile_encoding.h"

#include "support/rates.h"
#include "support/row_name.h"
#include "support/settings_file_cases.h"
#include "support/temp_dir.h"

namespace trellan {
namespace {

using support::ReadFile;
using support::TempDir;
using support::Utf16File;
using support::WriteFile;

#ifdef _WIN32
const std::string NL = "\r\n";  // a new file's line ends, as the platform writes them
#else
const std::string NL = "\n";
#endif

std::uint64_t Bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

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

// The shared files: what this build reads from each, as the Windows program shows it.
class LoadTable : public testing::TestWithParam<support::SettingsFileCase> {};

TEST_P(LoadTable, GivesTheSummary) {
    const support::SettingsFileCase& row = GetParam();
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    if (row.fileText != nullptr) {
        WriteFile(path, row.fileText);
    }
    std::array<char, SUMMARY_BUFFER_SIZE> summary{};
    FormatRateSummaryUnder(LoadFeeSettings(path.c_str()).rates, summary);
    EXPECT_STREQ(summary.data(), row.summary);
}

INSTANTIATE_TEST_SUITE_P(Table, LoadTable, testing::ValuesIn(support::SETTINGS_FILES),
                         support::RowName{});

// Without a file the rates are the initial ones to the bit, and "9" reads as 9 x 0.001, which
// 9 / 1000 is not: as stored files have always been read.
TEST(LoadFeeSchedule, ReadsRatesToTheBit) {
    const FeeSchedule defaults = LoadFeeSchedule("");
    EXPECT_EQ(Bits(defaults.commissionRate), Bits(FeeSchedule{}.commissionRate));
    EXPECT_EQ(Bits(defaults.stampDutyRate), Bits(FeeSchedule{}.stampDutyRate));
    EXPECT_EQ(Bits(defaults.transferRate), Bits(FeeSchedule{}.transferRate));
    EXPECT_EQ(Bits(FeeScheduleFromText("[SET]\nCOMMISION=9\n").commissionRate), Bits(9 * 0.001));
    EXPECT_NE(Bits(9 * 0.001), Bits(9 / 1000.0));
    EXPECT_FALSE(SaveFeeSchedule("", support::Rates(2, 1, 1)));
}

const std::string FOLDER = "/";  // a folder where Set.ini should be
const std::string FULL = std::string(MAX_SETTINGS_FILE_SIZE - 7, ';') + "\n[SET]\n";
const double INF = std::numeric_limits<double>::infinity();
const PerMilleRates SAVED = support::Rates(2, -1, 1000);

struct SaveCase {
    const char* name;
    std::optional<std::string> before;  // nullopt: no Set.ini
    PerMilleRates rates;
    std::optional<std::string> after;  // nullopt: the save fails and changes nothing
    const char* file = "Set.ini";
};

// Each file is saved in its own encoding and line ends, every other line kept; each value reads
// back as the very double confirmed, in two decimals wherever they do.
const SaveCase SAVES[] = {
    {"new file", std::nullopt, support::Rates(0.125, 1.5, -1),
     "[SET]" + NL + "COMMISION=0.125" + NL + "STAMPDUTY=1.50" + NL + "TRANSFER=-1.00" + NL},
    {"values two decimals do not hold", std::nullopt, support::Rates(1.0 / 3, 1e-300, 1e300),
     "[SET]" + NL + "COMMISION=0.3333333333333333" + NL + "STAMPDUTY=1e-300" + NL +
         "TRANSFER=1e+300" + NL},
    {"infinities", std::nullopt, support::Rates(INF, -INF, -0.0),
     "[SET]" + NL + "COMMISION=1e999" + NL + "STAMPDUTY=-1e999" + NL + "TRANSFER=-0.00" + NL},
    {"WindowsFile",
     "; Trellan\r\n[Window]\r\nX=10\r\n\r\n[SET]\r\nCOMMISION=1.50\r\nstampduty = 1.00\r\n"
     "TRANSFER=1.00\r\nNOTE=kept\r\n",
     SAVED,
     "; Trellan\r\n[Window]\r\nX=10\r\n\r\n[SET]\r\nCOMMISION=2.00\r\nstampduty = -1.00\r\n"
     "TRANSFER=1000.00\r\nNOTE=kept\r\n"},
    {"Utf16Le", Utf16File(u"[SET]\r\nCOMMISION=1.50\r\nNOTE=费率\U0001F4B9\r\n"), SAVED,
     Utf16File(u"[SET]\r\nCOMMISION=2.00\r\nNOTE=费率\U0001F4B9\r\nSTAMPDUTY=-1.00\r\n"
               u"TRANSFER=1000.00\r\n")},
    {"Utf16LeWithoutTheSection", Utf16File(u"; 费率\r\n"), SAVED,
     Utf16File(u"; 费率\r\n\r\n[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=-1.00\r\n"
               u"TRANSFER=1000.00\r\n")},
#ifdef _WIN32
    {"Utf16LeMarkOnly", Utf16File(u""), SAVED,
     Utf16File(u"[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=-1.00\r\nTRANSFER=1000.00\r\n")},
#else
    {"Utf16LeMarkOnly", Utf16File(u""), SAVED,
     Utf16File(u"[SET]\nCOMMISION=2.00\nSTAMPDUTY=-1.00\nTRANSFER=1000.00\n")},
#endif
    // Half a surrogate pair and a stray last byte are not ours to mend: they stay as they were.
    {"Utf16LeOddUnitsKept", Utf16File(u"[SET]\r\n;\xD800\r\nCOMMISION=1\r\n") + "\x41", SAVED,
     Utf16File(u"[SET]\r\n;\xD800\r\nCOMMISION=2.00\r\nSTAMPDUTY=-1.00\r\n"
               u"TRANSFER=1000.00\r\n") +
         "\x41"},
    {"Utf16Be", Utf16File(u"[SET]\r\nTRANSFER=1\r\n", true), SAVED,
     Utf16File(u"[SET]\r\nTRANSFER=1000.00\r\nCOMMISION=2.00\r\nSTAMPDUTY=-1.00\r\n", true)},
    {"BareCr", "[SET]\rCOMMISION=1.50\r[OTHER]\rX=1\r", SAVED,
     "[SET]\rCOMMISION=2.00\rSTAMPDUTY=-1.00\rTRANSFER=1000.00\r[OTHER]\rX=1\r"},
    // The mark breaks the first header, as on Windows: a section of ours follows.
    {"Utf8Mark", "\xEF\xBB\xBF[SET]\nCOMMISION=1.50\n", SAVED,
     "\xEF\xBB\xBF[SET]\nCOMMISION=1.50\n\n[SET]\nCOMMISION=2.00\nSTAMPDUTY=-1.00\n"
     "TRANSFER=1000.00\n"},
    // A file loading would no longer accept, a folder in its place, or no folder at all.
    {"past what loading accepts", FULL, SAVED, std::nullopt},
    {"larger than loading accepts", FULL + ";", SAVED, std::nullopt},
    {"a folder in its place", FOLDER, SAVED, std::nullopt},
    {"no folder", std::nullopt, SAVED, std::nullopt, "gone/Set.ini"},
};

class SaveTable : public testing::TestWithParam<SaveCase> {};

TEST_P(SaveTable, WritesWhatReadsBackOrNothing) {
    const SaveCase& row = GetParam();
    const TempDir dir;
    const std::string path = dir.File(row.file);
    if (row.before == FOLDER) {
        std::filesystem::create_directory(path);
    } else if (row.before) {
        WriteFile(path, *row.before);
    }
    EXPECT_EQ(SaveFeeSchedule(path.c_str(), row.rates), row.after.has_value());
    if (row.after) {
        EXPECT_EQ(ReadFile(path), *row.after);
        const FeeSchedule loaded = LoadFeeSchedule(path.c_str());
        EXPECT_EQ(Bits(loaded.commissionRate), Bits(FromPerMille(row.rates.commission)));
        EXPECT_EQ(Bits(loaded.stampDutyRate), Bits(FromPerMille(row.rates.stampDuty)));
        EXPECT_EQ(Bits(loaded.transferRate), Bits(FromPerMille(row.rates.transfer)));
    } else if (row.before && row.before != FOLDER) {
        EXPECT_EQ(ReadFile(path), *row.before);
    }
    // Never a temporary file left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}),
              row.before || row.after ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, SaveTable, testing::ValuesIn(SAVES), support::RowName{});

// Windows has no permission bits or user symbolic links; its attributes and read-only files are
// tested in windows_file_io_test.cpp.
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
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), SAVED));
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
    ASSERT_TRUE(SaveFeeSchedule(link.c_str(), SAVED));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(LoadFeeSchedule(real.c_str()).commissionRate, FromPerMille(PerMille{2}));
}
#endif

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
    EXPECT_EQ(ReadFile(path),
              "[SET]" + NL + "COMMISION=1.50" + NL + "STAMPDUTY=1.00" + NL + "TRANSFER=1.00" + NL);
    EXPECT_EQ(loaded.commissionRate, FeeSchedule{}.commissionRate);
}

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
    EXPECT_EQ(Bits(got.commissionRate), Bits(row.since2023.commissionRate));
    EXPECT_EQ(Bits(got.stampDutyRate), Bits(row.since2023.stampDutyRate));
    EXPECT_EQ(Bits(got.transferRate), Bits(row.since2023.transferRate));
    EXPECT_EQ(got.minCommission, row.since2023.minCommission);
    EXPECT_EQ(settings.has2023Section, row.has2023Section);
    // The classic rates are read exactly as ever.
    EXPECT_EQ(settings.rates.classic.commissionRate,
              FeeScheduleFromText(row.fileText).commissionRate);
}

INSTANTIATE_TEST_SUITE_P(Files, RulesFileTest, testing::ValuesIn(RULES_FILES), support::RowName{});

struct RulesSaveCase {
    const char* name;
    const char* before;
    ConfirmedFees fees;
    const char* after;
};

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

INSTANTIATE_TEST_SUITE_P(Files, RulesSaveTest, testing::ValuesIn(RULES_SAVES), support::RowName{});

// Through the file, bit for bit also where two decimals do not hold the rate; a UTF-16 file
// takes the new keys in UTF-16.
TEST(SaveFeeSettings, TodaysSetReadsBackExactly) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    ConfirmedFees exact = TODAY;
    exact.since2023 = {support::Rates(0.125, 0.5, 0.01), 0.1};
    ASSERT_TRUE(SaveFeeSettings(path.c_str(), exact));
    const FeeSchedule2023 again = LoadFeeSettings(path.c_str()).rates.since2023;
    EXPECT_EQ(Bits(again.commissionRate), Bits(FromPerMille(PerMille{0.125})));
    EXPECT_EQ(again.minCommission, 0.1);
    EXPECT_FALSE(SaveFeeSettings("", TODAY));

    const std::string utf16 = SettingsTextWith(std::string("\xFF\xFE[\0S\0E\0T\0]\0", 12), TODAY);
    EXPECT_EQ(DecodeProfileFile(utf16).encoding, ProfileEncoding::Utf16Le);
    EXPECT_EQ(FeeSettingsFromText(utf16).rates.rules, FeeRules::Since2023);
}

}  // namespace
}  // namespace trellan
