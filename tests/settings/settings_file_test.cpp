// The settings file through the settings layer, in every build: where it is, what is read from
// the files users carry (Windows' and ours) and what a save makes of them or, failing, nothing.
#include "settings/settings_file.h"

#include <array>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/number_text.h"

#include "settings/executable_path.h"
#include "settings/fee_settings.h"
#include "settings/file_io.h"
#include "settings/profile_encoding.h"
#include "settings/profile_text.h"
#include "settings/settings_location.h"

#include "support/concurrent_saves.h"
#include "support/rates.h"
#include "support/row_name.h"
#include "support/settings_file_cases.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <process.h>

#include "settings/windows_api.h"
#endif

namespace trellan {
namespace {

namespace fs = std::filesystem;
using support::Rates;
using support::Utf16File;
using support::WriteFile;

// The whole run in a locale that writes decimal commas: a user in one reads and saves the same
// files (scripts/install-deps.sh makes the locale).
#ifdef _WIN32
[[maybe_unused]] const char* const LOCALE = std::setlocale(LC_ALL, "German_Germany.1252");
const std::string NL = "\r\n", ROOT = "C:\\", SEP = "\\";  // NL: a new file's line ends
#else
[[maybe_unused]] const char* const LOCALE = std::setlocale(LC_ALL, "de_DE.UTF-8");
const std::string NL = "\n", ROOT = "/", SEP = "/";
#endif

// A folder named in Chinese, which on Windows only the wide calls reach; in a temporary folder,
// more bytes of UTF-8 than PATH_CAPACITY, yet well within what Windows opens.
const fs::path CHINESE = [] {
    std::u8string name;
    for (int i = 0; i < 80; ++i) {
        name += u8"交";
    }
    return fs::path(name);
}();

TEST(SettingsPathBeside, FitsItsBufferOrStaysEmpty) {
    // The longest folder whose Set.ini fits: on Windows 248 UTF-16 units, in any script, however
    // many bytes of our UTF-8 they take.
#ifdef _WIN32
    std::string longest = ROOT + std::string(80, 'd');
    for (int i = 0; i < 42; ++i) {
        longest += "交交𝄞";
    }
#else
    const std::string longest = ROOT + std::string(246, 'd');
#endif
    const std::pair<std::string, std::string> rows[] = {
        {"calc", ""},
        {longest + SEP + "calc", longest + SEP + "Set.ini"},
        {longest + "d" + SEP + "calc", ""},
        // Longer than the platform hands out: not a path we were given.
        {std::string(ROOT).append("a").append(SEP).append(EXECUTABLE_PATH_LIMIT, 'c'), ""}};
    for (const auto& [module, settings] : rows) {
        std::array<char, PATH_BUFFER_SIZE> path{};
        path.fill('#');
        SettingsPathBeside(module.c_str(), path);
        EXPECT_EQ(path.data(), settings) << module;
    }
}

// Run from the build folder, the tests are a portable copy: Set.ini beside their executable.
TEST(SettingsPath, BesideTheExecutable) {
    std::array<char, PATH_BUFFER_SIZE> buffer{};
    const std::size_t length = ExecutablePath(buffer);
    ASSERT_GT(length, 0U);
    EXPECT_EQ(ExecutablePath(std::span(buffer).first(length + 1)), length);  // an exact fit
    buffer.fill('#');
    EXPECT_EQ(ExecutablePath(std::span(buffer).first(length)), 0U);  // cut: nothing at all
    EXPECT_EQ(std::string(buffer.data(), length), std::string(length, '\0'));
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

#ifdef _WIN32
// A copy of this program in the Chinese folder still finds Set.ini beside itself.
TEST(SettingsPath, BesideTheExecutableInAChineseFolder) {
    const support::TempDir dir;
    ASSERT_TRUE(fs::create_directory(dir.Path() / CHINESE));
    std::array<wchar_t, MAX_PATH> self{};
    ASSERT_GT(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH), 0U);
    const fs::path copy = dir.Path() / CHINESE / L"settings_tests.exe";
    ASSERT_TRUE(::CopyFileW(self.data(), copy.c_str(), TRUE));
    EXPECT_EQ(::_wspawnl(_P_WAIT, copy.c_str(), L"settings_tests", L"--gtest_brief=1",
                         L"--gtest_filter=SettingsPath.BesideTheExecutable", nullptr),
              0);
}

// Copies of the program saving at once, each changing its own key round after round: every
// change is in the final file, and nothing is left beside it. Each copy is this program again,
// running the disabled test below with the file and the key the environment names.
TEST(SaveLock, DISABLED_OneCopySaving) {
    const char* path = std::getenv("TRELLAN_SAVER_FILE");
    const char* key = std::getenv("TRELLAN_SAVER_KEY");
    ASSERT_TRUE(path != nullptr && key != nullptr);
    for (int round = 0; round < support::SAVING_ROUNDS; ++round) {
        ASSERT_TRUE(support::SaveRound(path, std::atoi(key), round)) << "round " << round;
    }
}

TEST(SaveLock, CopiesSavingAtOnceLoseNoChange) {
    const support::TempDir dir;
    const std::string path = dir.File("Set.ini");
    std::array<wchar_t, MAX_PATH> self{};
    ASSERT_GT(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH), 0U);
    ASSERT_EQ(::_putenv_s("TRELLAN_SAVER_FILE", path.c_str()), 0);
    std::vector<std::intptr_t> savers;
    for (int copy = 0; copy < support::SAVING_COPIES; ++copy) {
        ASSERT_EQ(::_putenv_s("TRELLAN_SAVER_KEY", std::to_string(copy).c_str()), 0);
        savers.push_back(::_wspawnl(_P_NOWAIT, self.data(), L"settings_tests", L"--gtest_brief=1",
                                    L"--gtest_also_run_disabled_tests",
                                    L"--gtest_filter=SaveLock.DISABLED_OneCopySaving", nullptr));
        ASSERT_NE(savers.back(), -1);
    }
    for (const std::intptr_t saver : savers) {
        int status = -1;
        ASSERT_EQ(::_cwait(&status, saver, 0), saver);
        EXPECT_EQ(status, 0) << "a save failed";
    }
    support::ExpectEveryLastChange(dir.Path(), path);
}
#endif

// The shared files: what this build reads from each, as the window shows it.
class LoadTable : public testing::TestWithParam<support::SettingsFileCase> {};

TEST_P(LoadTable, ReadsWhatTheWindowShows) {
    const support::TempDir dir;
    if (GetParam().fileText != nullptr) {
        WriteFile(dir.File("Set.ini"), GetParam().fileText);
    }
    const FeeSettings settings = LoadFeeSettings(dir.File("Set.ini").c_str());
    std::array<char, SUMMARY_BUFFER_SIZE> summary{};
    FormatRateSummaryUnder(settings.rates, summary);
    EXPECT_STREQ(summary.data(), GetParam().summary);
    EXPECT_EQ(settings.rates.since2023.minCommission, GetParam().minCommission);
    EXPECT_EQ(settings.has2023Section, GetParam().has2023Section);
    if (GetParam().commissionRate != 0) {
        EXPECT_EQ(settings.rates.classic.commissionRate, GetParam().commissionRate);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LoadTable, testing::ValuesIn(support::SETTINGS_FILES),
                         support::RowName{});

// What our profile layer (or, given the file's path, Windows') reads of a file: the rates as
// loading asks for them, into a buffer as large as loading's, then lines that are not ours.
std::vector<std::string> Read(const std::string& bytes, [[maybe_unused]] const char* path = "") {
    constexpr const char* QUERIES[][3] = {
        {"SET", "COMMISION", "1.5"}, {"SET", "STAMPDUTY", "1.0"},    {"SET", "TRANSFER", "1.0"},
        {"SET", "X", "none"},        {"OTHER", "COMMISION", "none"}, {"OTHER", "Y", "none"}};
    std::vector<std::string> read;
    for (const auto& [section, key, fallback] : QUERIES) {
        std::array<char, VALUE_CAPACITY> value{};
#ifdef _WIN32
        if (*path != '\0') {
            ::GetPrivateProfileStringA(section, key, fallback, value.data(), VALUE_CAPACITY, path);
        } else
#endif
            CopyProfileString(DecodeProfileFile(bytes).text, section, key, fallback, value);
        read.emplace_back(value.data());
    }
    return read;
}

struct ProfileCase {
    const char* name;
    std::string file;
    std::string after;                  // the file with COMMISION set to 2.00
    std::string rates = "1.5|1.0|1.0";  // COMMISION|STAMPDUTY|TRANSFER as read
    bool wineReadsIt = true;            // false: Wine reads it otherwise than Windows does
};

const std::string LONG_VALUES =
    "[SET]\nSTAMPDUTY=" + std::string(98, '0') + "7\nTRANSFER=" + std::string(99, '0') + "7\n";

const ProfileCase PROFILES[] = {
    {"blanks, case and quotes",
     " [ set ] \r\n\tcommision = \" 6 \"\t\r\nStampDuty='7'\r\nTRANSFER=\"8'",
     " [ set ] \r\n\tcommision = 2.00\t\r\nStampDuty='7'\r\nTRANSFER=\"8'", " 6 |7|\"8'"},
    {"first key of the first section",
     "[SET]\nCOMMISION=\nCOMMISION=2\nSTAMPDUTY=a=b\n[SET]\nTRANSFER=3",
     "[SET]\nCOMMISION=2.00\nCOMMISION=2\nSTAMPDUTY=a=b\n[SET]\nTRANSFER=3", "|a=b|1.0"},
    // A section's name ends at its first ']', or with the line.
    {"section lines and bare CRs", "[SET] [OTHER]\rX=1\r[OTHER\rCOMMISION=9\r",
     "[SET] [OTHER]\rX=1\rCOMMISION=2.00\r[OTHER\rCOMMISION=9\r", "1.5|1.0|1.0", false},
    {"key before the blank lines", "[SET]\r\nX=1\r\n\r\n[OTHER]\r\nY=2\r\n",
     "[SET]\r\nX=1\r\nCOMMISION=2.00\r\n\r\n[OTHER]\r\nY=2\r\n"},
    {"line end cut short", "[SET]\r\nX=1\r", "[SET]\r\nX=1\r\nCOMMISION=2.00\r\n"},
    {"section after a last line without its end", "; kept\r\n[OTHER]\r\nY=2",
     "; kept\r\n[OTHER]\r\nY=2\r\n\r\n[SET]\r\nCOMMISION=2.00\r\n"},
    {"UTF-8 mark before the first header", "\xEF\xBB\xBF[SET]\nCOMMISION=3\n",
     "\xEF\xBB\xBF[SET]\nCOMMISION=2.00\n", "3|1.0|1.0"},
    {"UTF-16", Utf16File(u"; 费率\U0001F4B9\r\n[SET]\r\nCOMMISION=2.5\r\n[OTHER]\r\nY=2\r\n"),
     Utf16File(u"; 费率\U0001F4B9\r\n[SET]\r\nCOMMISION=2.00\r\n[OTHER]\r\nY=2\r\n"),
     "2.5|1.0|1.0"},
    {"values cut to the buffer", LONG_VALUES, LONG_VALUES + "COMMISION=2.00\n",
     "1.5|" + std::string(98, '0') + "7|" + std::string(99, '0')},
};

class ProfileTable : public testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileTable, ReadsAndWritesAsWindows) {
    const ProfileCase& row = GetParam();
    const std::vector<std::string> read = Read(row.file);
    EXPECT_EQ(read[0] + "|" + read[1] + "|" + read[2], row.rates);
    ProfileFileText file = DecodeProfileFile(row.file);
    file.text = SetProfileValue(file.text, "SET", ProfileEntry{"COMMISION", "2.00"});
    EXPECT_EQ(EncodeProfileFile(file), row.after);
    // Loading takes the number at the start of each text read.
    const FeeSchedule loaded = FeeScheduleFromText(row.file);
    EXPECT_EQ(loaded.commissionRate, FromPerMille(PerMille{ParseLeadingDouble(read[0])}));
    EXPECT_EQ(loaded.stampDutyRate, FromPerMille(PerMille{ParseLeadingDouble(read[1])}));
    EXPECT_EQ(loaded.transferRate, FromPerMille(PerMille{ParseLeadingDouble(read[2])}));
#ifdef _WIN32
    // Windows reads the same, and in our text its own lines as before.
    if (!row.wineReadsIt) {
        return;
    }
    const support::TempDir dir;
    WriteFile(dir.File("before.ini"), row.file);
    WriteFile(dir.File("after.ini"), row.after);
    std::vector<std::string> windows = Read("", dir.File("before.ini").c_str());
    EXPECT_EQ(read, windows);
    windows[0] = "2.00";
    EXPECT_EQ(Read("", dir.File("after.ini").c_str()), windows);
#endif
}

INSTANTIATE_TEST_SUITE_P(Table, ProfileTable, testing::ValuesIn(PROFILES), support::RowName{});

// A file of the largest size loading accepts, holding the three rates.
std::string Largest(const std::string& commission) {
    const std::string rates =
        "\n[SET]\nCOMMISION=" + commission + "\nSTAMPDUTY=1.00\nTRANSFER=1.00\n";
    return std::string(MAX_SETTINGS_FILE_SIZE - rates.size(), ';') + rates;
}

const ConfirmedFees CLASSIC{FeeRules::Classic, Rates(2, 1, 1), false, {}};
const ConfirmedFees ODD{FeeRules::Classic, Rates(0.125, 1e-300, -HUGE_VAL), false, {}};
const ConfirmedFees TODAY{
    FeeRules::Since2023, Rates(1.5, 1, 1e300), true, {Rates(0.125, 9, 0.01), 0.1}};
const ConfirmedFees BACK{FeeRules::Classic, Rates(2, 1, 1), true, {Rates(0.2, 0.5, 0.01), 0}};

// The dialog as it opened before confirming fees: every value the user changed.
ConfirmedFees AllChanged(ConfirmedFees fees) {
    fees.rules = fees.rules == FeeRules::Classic ? FeeRules::Since2023 : FeeRules::Classic;
    fees.classic = fees.since2023.rates = Rates(NAN, NAN, NAN);
    fees.since2023.minCommission = NAN;
    return fees;
}

struct SaveCase {
    const char* name;
    std::optional<std::string> before;  // nullopt: no Set.ini
    ConfirmedFees fees;
    std::optional<std::string> after;  // nullopt: the save fails and changes nothing
    const char* file = "Set.ini";
    unsigned long attributes = 0;  // Windows: given to the file before, kept after
    // Windows: the file a program holds open, not letting it be replaced or deleted.
    const char* heldOpen = nullptr;
    std::optional<ConfirmedFees> shown = std::nullopt;  // nullopt: the user changed everything
    // Files beside it before the save, and whether each is still there after.
    std::vector<std::pair<std::string, bool>> beside = {};
    const char* hardLink = nullptr;  // another name of the file, which sees the save too
};

// Each value in two decimals where they read back as the very double confirmed, else in the
// shortest text that does; the rules and today's set beside the classic keys.
const SaveCase SAVES[] = {
    {"new file", std::nullopt, ODD,
     "[SET]" + NL + "COMMISION=0.125" + NL + "STAMPDUTY=1e-300" + NL + "TRANSFER=-1e999" + NL},
    {"today's rules in UTF-16", Utf16File(u"[SET]\r\nCOMMISION=1.50\r\n", true), TODAY,
     Utf16File(u"[SET]\r\nCOMMISION=1.50\r\nSTAMPDUTY=1.00\r\nTRANSFER=1e+300\r\nRULES=2023\r\n"
               u"\r\n[SET2023]\r\nCOMMISION=0.125\r\nSTAMPDUTY=9.00\r\nTRANSFER=0.01\r\n"
               u"MINCOMMISSION=0.10\r\n",
               true)},
    {"back to the classic rules",
     "[SET]\nrules = 2023 \nCOMMISION=1.50\n[SET2023]\nMINCOMMISSION=5\n", BACK,
     "[SET]\nrules = 2008 \nCOMMISION=2.00\nSTAMPDUTY=1.00\nTRANSFER=1.00\n[SET2023]\n"
     "MINCOMMISSION=0.00\nCOMMISION=0.20\nSTAMPDUTY=0.50\nTRANSFER=0.01\n"},
    {"the largest file loading accepts", Largest("1.50"), CLASSIC, Largest("2.00")},
    {"grown past what loading accepts", Largest("1.5"), CLASSIC, std::nullopt},
    {"larger than loading accepts", Largest("1.50") + ";", CLASSIC, std::nullopt},
    {"no folder", std::nullopt, CLASSIC, std::nullopt, "gone/Set.ini"},
    // Another copy saved a commission of 3.00 meanwhile; this one changed the stamp duty alone.
    {"only what the user changed",
     "[SET]\nCOMMISION=3.00\nSTAMPDUTY=1.00\nTRANSFER=1.00\n",
     {FeeRules::Classic, Rates(1.5, 2, 1), false, {}},
     "[SET]\nCOMMISION=3.00\nSTAMPDUTY=2.00\nTRANSFER=1.00\n",
     "Set.ini",
     0,
     nullptr,
     ConfirmedFees{FeeRules::Classic, Rates(1.5, 1, 1), false, {}}},
    {"keys the file lacks", "[SET]\nSTAMPDUTY=1.00", TODAY,
     "[SET]\nSTAMPDUTY=1.00\nCOMMISION=1.50\nTRANSFER=1e+300\nRULES=2023\n\n[SET2023]\n"
     "COMMISION=0.125\nSTAMPDUTY=9.00\nTRANSFER=0.01\nMINCOMMISSION=0.10\n",
     "Set.ini", 0, nullptr, TODAY},
    {"UTF-8 mark kept", "\xEF\xBB\xBF[SET]\r\nCOMMISION=0.125\r\n", CLASSIC,
     "\xEF\xBB\xBF[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n"},
    // Only a temporary of ours that no save holds is ever removed.
    {.name = "the user's files beside it stay",
     .before = "[SET]\r\n",
     .fees = CLASSIC,
     .after = "[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n",
     .beside = {{"Set.ini.~backup", true},
                {"Set.ini.bak", true},
                {"Set.ini~", true},
                {"Set.ini.trellan-save-abc1234", true}}},
    {.name = "a killed save's temporary goes",
     .before = "[SET]\r\n",
     .fees = CLASSIC,
     .after = "[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n",
     .beside = {{"Set.ini.trellan-save-abc123", false}, {"Set.ini.trellan-save-XYZ789", false}}},
    // Rewritten where it stands, the shorter text is padded first and then cut.
    {.name = "a second name sees the save",
     .before = "[SET]\r\nCOMMISION=1.5000000000\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n",
     .fees = CLASSIC,
     .after = "[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n",
     .hardLink = "other.ini"},
#ifdef _WIN32
    // What ReplaceFileW keeps beyond the attributes (the ACL, alternate streams) and the owner a
    // replacement would change are not shown here: under Wine a file's rights are the host's mode
    // bits, its owner is always the user and a stream's name is a plain file name.
    {"hidden and system kept", "[SET]\r\n", CLASSIC,
     "[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n", "Set.ini",
     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
    // The platform's own profile call will not write a read-only file, so neither do we.
    {"read-only", "[SET]\r\n", CLASSIC, std::nullopt, "Set.ini", FILE_ATTRIBUTE_READONLY},
    // Neither replaced nor written where it stands, and nothing is left beside it.
    {"held open", "[SET]\r\n", CLASSIC, std::nullopt, "Set.ini", FILE_ATTRIBUTE_NORMAL, "Set.ini"},
    {"a device", std::nullopt, CLASSIC, std::nullopt, "NUL"},
    {.name = "a living save's temporary stays",
     .before = "[SET]\r\n",
     .fees = CLASSIC,
     .after = "[SET]\r\nCOMMISION=2.00\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n",
     .heldOpen = "Set.ini.trellan-save-abc123",
     .beside = {{"Set.ini.trellan-save-abc123", true}}},
#endif
};

class SaveTable : public testing::TestWithParam<SaveCase> {};

TEST_P(SaveTable, WritesOrChangesNothing) {
    const SaveCase& row = GetParam();
    const support::TempDir dir;
    const fs::path folder = dir.Path() / CHINESE, file = folder / row.file;
    fs::create_directory(folder);
    if (row.before) {
        WriteFile(file, *row.before);
    }
    for (const auto& [name, stays] : row.beside) {
        WriteFile(folder / name, "mine");
    }
    if (row.hardLink != nullptr) {
        fs::create_hard_link(file, folder / row.hardLink);
    }
#ifdef _WIN32
    ASSERT_TRUE(row.attributes == 0 || ::SetFileAttributesW(file.c_str(), row.attributes));
    const std::unique_ptr<void, decltype(&::CloseHandle)> holder(
        row.heldOpen != nullptr
            ? ::CreateFileW((folder / row.heldOpen).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)
            : nullptr,
        &::CloseHandle);
#endif
    const FeeSettingsChange change{row.fees, row.shown.value_or(AllChanged(row.fees))};
    EXPECT_EQ(
        SaveFeeSettings(reinterpret_cast<const char*>(file.u8string().c_str()), change).Saved(),
        row.after.has_value());
    EXPECT_EQ(support::ReadFile(file), row.after.value_or(row.before.value_or("")));
    // Nothing else in the folder changed, and no temporary file is left in it.
    std::map<std::string, std::string> expected, found;
    if (row.before || row.after) {
        expected[row.file] = row.after.value_or(row.before.value_or(""));
    }
    for (const auto& [name, stays] : row.beside) {
        if (stays) {
            expected[name] = "mine";
        }
    }
    if (row.hardLink != nullptr) {
        expected[row.hardLink] = expected[row.file];
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        found[entry.path().filename().string()] = support::ReadFile(entry.path());
    }
    EXPECT_EQ(found, expected);
#ifdef _WIN32
    constexpr DWORD SEEN = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (row.before || row.after) {  // hidden and system stay; a read-only file stays so
        EXPECT_EQ(::GetFileAttributesW(file.c_str()) & SEEN, row.attributes & SEEN);
    }
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that it can be removed
#endif
}

INSTANTIATE_TEST_SUITE_P(Table, SaveTable, testing::ValuesIn(SAVES), support::RowName{});

}  // namespace
}  // namespace trellan
