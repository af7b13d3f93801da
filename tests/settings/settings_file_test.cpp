// The settings file through the settings layer, in every build: where it is, what is read from
// the files users carry (Windows' and ours) and what a save makes of them or, failing, nothing.
#include "settings/settings_file.h"

#include <array>
#include <bit>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/fee_rules.h"

#include "settings/fee_settings.h"
#include "settings/file_io.h"
#include "settings/profile_encoding.h"
#include "settings/profile_text.h"
#include "settings/settings_location.h"

#include "support/rates.h"
#include "support/row_name.h"
#include "support/settings_file_cases.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include "settings/windows_api.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trellan {
namespace {

namespace fs = std::filesystem;
using support::Rates;
using support::Utf16File;
using support::WriteFile;

#ifdef _WIN32
const std::string NL = "\r\n";  // a new file's line ends, as the platform writes them
const std::string ROOT = "C:\\", SEP = "\\";
constexpr std::size_t FOLDER_UNITS = 248;  // with ROOT and SEP, just room for "Set.ini" and 0
#else
const std::string NL = "\n";
const std::string ROOT = "/", SEP = "/";
constexpr std::size_t FOLDER_UNITS = 246;
#endif

std::uint64_t Bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

// Windows' limit is in UTF-16 units, not in bytes of our UTF-8, in any script.
TEST(SettingsPathBeside, FitsItsBufferOrStaysEmpty) {
    std::vector<std::pair<std::string, std::string>> rows = {
        {ROOT + "tools" + SEP + "calc", ROOT + "tools" + SEP + "Set.ini"},
        {"calc", ""},
        // Longer than the platform hands out: not a path we were given.
        {std::string(ROOT).append("a").append(SEP).append(EXECUTABLE_PATH_LIMIT, 'c'), ""}};
#ifdef _WIN32
    for (const auto& [character, units] :
         {std::pair<std::string, std::size_t>{"d", 1}, {"交", 1}, {"𝄞", 2}}) {
#else
    for (const auto& [character, units] : {std::pair<std::string, std::size_t>{"d", 1}}) {
#endif
        std::string folder = ROOT;
        for (std::size_t n = 0; n < FOLDER_UNITS / units; ++n) {
            folder += character;
        }
        rows.push_back({folder + SEP + "calc", folder + SEP + "Set.ini"});
        rows.push_back({folder + character + SEP + "calc", ""});
    }
    for (const auto& [module, settings] : rows) {
        std::array<char, PATH_BUFFER_SIZE> path{};
        path.fill('#');
        SettingsPathBeside(module.c_str(), path);
        EXPECT_EQ(path.data(), settings) << module;
    }
}

// Run from the build folder, the tests are a portable copy: Set.ini beside their executable.
TEST(SettingsPath, BesideTheExecutable) {
#ifdef _WIN32
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
#else
    const fs::path self = fs::read_symlink("/proc/self/exe");
#endif
    const std::u8string beside = (fs::path(self).parent_path() / "Set.ini").u8string();
    const SettingsLocation location = FindSettingsLocation();
    EXPECT_EQ(location.savePath.data(), std::string(beside.begin(), beside.end()));
    EXPECT_STREQ(location.loadPath.data(), location.savePath.data());
    EXPECT_FALSE(location.perUser);
}

// The shared files: what this build reads from each, as the window shows it.
class LoadTable : public testing::TestWithParam<support::SettingsFileCase> {};

TEST_P(LoadTable, ReadsWhatTheWindowShows) {
    const support::SettingsFileCase& row = GetParam();
    const support::TempDir dir;
    if (row.fileText != nullptr) {
        WriteFile(dir.File("Set.ini"), row.fileText);
    }
    const FeeSettings settings = LoadFeeSettings(dir.File("Set.ini").c_str());
    std::array<char, SUMMARY_BUFFER_SIZE> summary{};
    FormatRateSummaryUnder(settings.rates, summary);
    EXPECT_STREQ(summary.data(), row.summary);
    EXPECT_EQ(settings.rates.since2023.minCommission, row.minCommission);
    EXPECT_EQ(settings.has2023Section, row.has2023Section);
}

INSTANTIATE_TEST_SUITE_P(Table, LoadTable, testing::ValuesIn(support::SETTINGS_FILES),
                         support::RowName{});

// What both our profile layer and Windows' are asked of each file: the rates as loading asks
// for them, then lines that are not ours.
constexpr std::array<std::array<const char*, 3>, 6> QUERIES{{{"SET", "COMMISION", "1.5"},
                                                             {"SET", "STAMPDUTY", "1.0"},
                                                             {"SET", "TRANSFER", "1.0"},
                                                             {"SET", "X", "none"},
                                                             {"OTHER", "COMMISION", "none"},
                                                             {"OTHER", "Y", "none"}}};

// What is read for each query, into a buffer as large as loading's.
std::vector<std::string> OursRead(const std::string& bytes) {
    std::vector<std::string> read;
    for (const auto& [section, key, fallback] : QUERIES) {
        std::array<char, VALUE_CAPACITY> value{};
        CopyProfileString(DecodeProfileFile(bytes).text, section, key, fallback, value);
        read.emplace_back(value.data());
    }
    return read;
}

#ifdef _WIN32
std::vector<std::string> WindowsRead(const std::string& path) {
    std::vector<std::string> read;
    for (const auto& [section, key, fallback] : QUERIES) {
        std::array<char, VALUE_CAPACITY> value{};
        ::GetPrivateProfileStringA(section, key, fallback, value.data(), VALUE_CAPACITY,
                                   path.c_str());
        read.emplace_back(value.data());
    }
    return read;
}
#endif

struct ProfileCase {
    const char* name;
    std::string file;
    std::string rates;  // COMMISION|STAMPDUTY|TRANSFER as read
    std::string after;  // the file with COMMISION set to 2.00
};

const std::string LONG_VALUES =
    "[SET]\nSTAMPDUTY=" + std::string(98, '0') + "7\nTRANSFER=" + std::string(99, '0') + "7\n";

const ProfileCase PROFILES[] = {
    {"blanks, case and quotes",
     " [ set ] \r\n\tcommision = \" 6 \"\t\r\nStampDuty='7'\r\nTRANSFER=\"8'", " 6 |7|\"8'",
     " [ set ] \r\n\tcommision = 2.00\t\r\nStampDuty='7'\r\nTRANSFER=\"8'"},
    {"the first key of the first section",
     "[SET]\nCOMMISION=\nCOMMISION=2\nSTAMPDUTY=a=b\n[SET]\nTRANSFER=3\n", "|a=b|1.0",
     "[SET]\nCOMMISION=2.00\nCOMMISION=2\nSTAMPDUTY=a=b\n[SET]\nTRANSFER=3\n"},
    // A section's name ends at its first ']', or with the line.
    {"section lines and bare CRs", "[SET] [OTHER]\rX=1\r[OTHER\rCOMMISION=9\r", "1.5|1.0|1.0",
     "[SET] [OTHER]\rX=1\rCOMMISION=2.00\r[OTHER\rCOMMISION=9\r"},
    {"a key before the blank lines", "[SET]\r\nX=1\r\n\r\n[OTHER]\r\nY=2\r\n", "1.5|1.0|1.0",
     "[SET]\r\nX=1\r\nCOMMISION=2.00\r\n\r\n[OTHER]\r\nY=2\r\n"},
    {"a line end cut short", "[SET]\r\nX=1\r", "1.5|1.0|1.0", "[SET]\r\nX=1\r\nCOMMISION=2.00\r\n"},
    {"a section after a last line without its end", "; kept\r\n[OTHER]\r\nY=2", "1.5|1.0|1.0",
     "; kept\r\n[OTHER]\r\nY=2\r\n\r\n[SET]\r\nCOMMISION=2.00\r\n"},
    {"a UTF-8 mark breaks the first header", "\xEF\xBB\xBF[SET]\nCOMMISION=3\n", "1.5|1.0|1.0",
     "\xEF\xBB\xBF[SET]\nCOMMISION=3\n\n[SET]\nCOMMISION=2.00\n"},
    {"UTF-16", Utf16File(u"; 费率\U0001F4B9\r\n[SET]\r\nCOMMISION=2.5\r\n[OTHER]\r\nY=2\r\n"),
     "2.5|1.0|1.0",
     Utf16File(u"; 费率\U0001F4B9\r\n[SET]\r\nCOMMISION=2.00\r\n[OTHER]\r\nY=2\r\n")},
    {"values cut to the buffer", LONG_VALUES,
     "1.5|" + std::string(98, '0') + "7|" + std::string(99, '0'), LONG_VALUES + "COMMISION=2.00\n"},
};

class ProfileTable : public testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileTable, ReadsAndWritesAsWindows) {
    const ProfileCase& row = GetParam();
    const std::vector<std::string> read = OursRead(row.file);
    EXPECT_EQ(read[0] + "|" + read[1] + "|" + read[2], row.rates);
    ProfileFileText file = DecodeProfileFile(row.file);
    file.text = SetProfileValue(file.text, "SET", ProfileEntry{"COMMISION", "2.00"});
    EXPECT_EQ(EncodeProfileFile(file), row.after);
    // Loading takes what is read for each rate through atof.
    const FeeSchedule loaded = FeeScheduleFromText(row.file);
    const std::array<double, 3> rates{loaded.commissionRate, loaded.stampDutyRate,
                                      loaded.transferRate};
    for (std::size_t i = 0; i < rates.size(); ++i) {
        EXPECT_EQ(Bits(rates.at(i)), Bits(FromPerMille(PerMille{std::atof(read[i].c_str())})));
    }
#ifdef _WIN32
    // Windows reads the same, and in our text its own lines as before.
    const support::TempDir dir;
    WriteFile(dir.File("before.ini"), row.file);
    WriteFile(dir.File("after.ini"), row.after);
    std::vector<std::string> windows = WindowsRead(dir.File("before.ini"));
    EXPECT_EQ(read, windows);
    windows[0] = "2.00";
    EXPECT_EQ(WindowsRead(dir.File("after.ini")), windows);
#endif
}

INSTANTIATE_TEST_SUITE_P(Table, ProfileTable, testing::ValuesIn(PROFILES), support::RowName{});

// A file of the largest size loading accepts, holding the three rates.
std::string Largest(const std::string& commission) {
    const std::string rates =
        "\n[SET]\nCOMMISION=" + commission + "\nSTAMPDUTY=1.00\nTRANSFER=1.00\n";
    return std::string(MAX_SETTINGS_FILE_SIZE - rates.size(), ';') + rates;
}

const double INF = std::numeric_limits<double>::infinity();
const ConfirmedFees CLASSIC{FeeRules::Classic, Rates(2, 1, 1), false, {}};
const ConfirmedFees TODAY{
    FeeRules::Since2023, Rates(1.5, 1, 1), true, {Rates(0.125, 9, 0.01), 0.1}};
// 9 x 0.001 is not 9 / 1000; 1e-300 and 1e300 do not fit two decimals.
const ConfirmedFees BACK_TO_CLASSIC{
    FeeRules::Classic, Rates(9, 1e-300, 1e300), true, {Rates(0.2, 0.5, 0.01), 0}};

struct SaveCase {
    const char* name;
    std::optional<std::string> before;  // nullopt: no Set.ini
    ConfirmedFees fees;
    std::optional<std::string> after;  // nullopt: the save fails and changes nothing
    const char* file = "Set.ini";
};

const SaveCase SAVES[] = {
    {"new file",
     std::nullopt,
     {FeeRules::Classic, Rates(0.125, 1.5, -INF), false, {}},
     "[SET]" + NL + "COMMISION=0.125" + NL + "STAMPDUTY=1.50" + NL + "TRANSFER=-1e999" + NL},
    {"today's rules in UTF-16", Utf16File(u"[SET]\r\nCOMMISION=1.50\r\n", true), TODAY,
     Utf16File(u"[SET]\r\nCOMMISION=1.50\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\nRULES=2023\r\n\r\n"
               u"[SET2023]\r\nCOMMISION=0.125\r\nSTAMPDUTY=9.00\r\nTRANSFER=0.01\r\n"
               u"MINCOMMISSION=0.10\r\n",
               true)},
    {"back to the classic rules",
     "[SET]\nrules = 2023 \nCOMMISION=1.50\n[SET2023]\nMINCOMMISSION=5.00\n", BACK_TO_CLASSIC,
     "[SET]\nrules = 2008 \nCOMMISION=9.00\nSTAMPDUTY=1e-300\nTRANSFER=1e+300\n[SET2023]\n"
     "MINCOMMISSION=0.00\nCOMMISION=0.20\nSTAMPDUTY=0.50\nTRANSFER=0.01\n"},
    {"the largest file loading accepts", Largest("1.50"), CLASSIC, Largest("2.00")},
    {"grown past what loading accepts",
     Largest("1.50"),
     {FeeRules::Classic, Rates(0.125, 1, 1), false, {}},
     std::nullopt},
    {"larger than loading accepts", Largest("1.50") + ";", CLASSIC, std::nullopt},
    {"no folder", std::nullopt, CLASSIC, std::nullopt, "gone/Set.ini"},
};

// Everything a load gives, bit for bit.
std::array<std::uint64_t, 8> Loaded(const FeeSettings& settings) {
    const FeeSchedule& classic = settings.rates.classic;
    const FeeSchedule2023& today = settings.rates.since2023;
    return {static_cast<std::uint64_t>(settings.rates.rules),
            Bits(classic.commissionRate),
            Bits(classic.stampDutyRate),
            Bits(classic.transferRate),
            Bits(today.commissionRate),
            Bits(today.stampDutyRate),
            Bits(today.transferRate),
            Bits(today.minCommission)};
}

class SaveTable : public testing::TestWithParam<SaveCase> {};

TEST_P(SaveTable, WritesWhatReadsBackOrNothing) {
    const SaveCase& row = GetParam();
    const support::TempDir dir;
    const std::string path = dir.File(row.file);
    if (row.before) {
        WriteFile(path, *row.before);
    }
    // A user whose locale writes decimal commas still gets "1.50", and "1.5" reads as 1.5
    // (scripts/install-deps.sh makes the locale).
    const std::string locale = std::setlocale(LC_ALL, nullptr);
#ifdef _WIN32
    std::setlocale(LC_ALL, "German_Germany.1252");
#else
    std::setlocale(LC_ALL, "de_DE.UTF-8");
#endif
    const bool saved = SaveFeeSettings(path.c_str(), row.fees);
    const FeeSettings loaded = LoadFeeSettings(path.c_str());
    std::setlocale(LC_ALL, locale.c_str());

    EXPECT_EQ(saved, row.after.has_value());
    EXPECT_EQ(support::ReadFile(path), row.after.value_or(row.before.value_or("")));
    // Never a temporary file left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}),
              row.before || row.after ? 1 : 0);
    if (row.after) {
        FeeSettings expected{{row.fees.rules, FromPerMille(row.fees.classic), {}}};
        if (row.fees.store2023) {
            const FeeSchedule today = FromPerMille(row.fees.since2023.rates);
            expected.rates.since2023 = {today.commissionRate, today.stampDutyRate,
                                        today.transferRate, row.fees.since2023.minCommission};
        }
        EXPECT_EQ(Loaded(loaded), Loaded(expected));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SaveTable, testing::ValuesIn(SAVES), support::RowName{});

#ifndef _WIN32
// Saved through a link, the file it points to is replaced, keeping its mode and, for a save by
// root (an administrator's), its owner, so that the user can still save to it.
TEST(SaveFeeSettings, KeepsTheLinkModeAndOwner) {
    const support::TempDir dir;
    const std::string file = dir.File("real.ini"), link = dir.File("Set.ini");
    WriteFile(file, "[SET]\n");
    fs::create_symlink(file, link);
    const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();
    ASSERT_EQ(::chown(file.c_str(), owner, group), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(SaveFeeSettings(link.c_str(), CLASSIC));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
    EXPECT_EQ(std::make_pair(info.st_uid, info.st_gid), std::make_pair(owner, group));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(LoadFeeSettings(file.c_str()).rates.classic.commissionRate,
              FromPerMille(PerMille{2}));
}
#endif

}  // namespace
}  // namespace trellan
