// The settings file on Windows: wide names (a directory in any script), file attributes,
// read-only and locked files, and what counts as a missing or a failed read.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The platform's name for its own call, which would otherwise rename ours.
#undef GetModuleFileName

#include <algorithm>
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

#include "core/fee_schedule.h"

#include "settings/file_io.h"
#include "settings/module_path.h"
#include "settings/settings_file.h"
#include "settings/temp_dir.h"

namespace trellan {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

// std::filesystem speaks the ANSI code page in narrow strings; our paths are UTF-8.
std::filesystem::path FromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::ptrdiff_t EntriesIn(const std::filesystem::path& directory) {
    return std::distance(std::filesystem::directory_iterator(directory), {});
}

// --- What a read finds ---

struct ReadCase {
    const char* name;
    std::string (*make)(const TempDir&);  // returns the path to read
    ReadStatus expected;
};

std::ostream& operator<<(std::ostream& out, const ReadCase& row) {
    return out << row.name;
}

const ReadCase READS[] = {
    {"MissingFile", [](const TempDir& dir) { return dir.File("Set.ini"); }, ReadStatus::Missing},
    {"MissingDirectory", [](const TempDir& dir) { return dir.File("gone\\Set.ini"); },
     ReadStatus::Missing},
    {"EmptyFile",
     [](const TempDir& dir) {
         WriteFile(dir.File("Set.ini"), "");
         return dir.File("Set.ini");
     },
     ReadStatus::Ok},
    {"Directory",
     [](const TempDir& dir) {
         std::filesystem::create_directory(dir.Path() / "Set.ini");
         return dir.File("Set.ini");
     },
     ReadStatus::Failed},
    {"Device", [](const TempDir&) { return std::string("NUL"); }, ReadStatus::Failed},
    {"LargestAllowed",
     [](const TempDir& dir) {
         WriteFile(dir.File("Set.ini"), std::string(MAX_SETTINGS_FILE_SIZE, ';'));
         return dir.File("Set.ini");
     },
     ReadStatus::Ok},
    {"TooLarge",
     [](const TempDir& dir) {
         WriteFile(dir.File("Set.ini"), std::string(MAX_SETTINGS_FILE_SIZE + 1, ';'));
         return dir.File("Set.ini");
     },
     ReadStatus::Failed},
};

class ReadStatusTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadStatusTest, TellsMissingFromFailed) {
    const TempDir dir;
    const FileContents contents = ReadWholeFile(GetParam().make(dir).c_str());
    EXPECT_EQ(contents.status, GetParam().expected);
    if (contents.status != ReadStatus::Ok) {
        EXPECT_TRUE(contents.bytes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ReadStatusTest, testing::ValuesIn(READS),
                         [](const auto& row) { return row.param.name; });

// --- Replacing the file ---

constexpr char OLD_TEXT[] = "; mine\r\n[SET]\r\nCOMMISION=1.50\r\n";

TEST(WindowsReplace, KeepsHiddenAndSystemAttributes) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    WriteFile(path, OLD_TEXT);
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), kept));

    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), 2, 1, 1));
    EXPECT_EQ(::GetFileAttributesA(path.c_str()), kept);
    EXPECT_EQ(LoadFeeSchedule(path.c_str()).commissionRate, FromPerMille(2));
    EXPECT_EQ(EntriesIn(dir.Path()), 1);
}

TEST(WindowsReplace, NewFileIsAnOrdinaryFile) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), 2, 1, 1));
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY),
              0U);
}

// The platform's own profile call will not write a read-only file, so neither do we. (Wine run
// as root writes it all the same, so that side is not compared here.)
TEST(WindowsReplace, RefusesAReadOnlyFile) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    WriteFile(path, OLD_TEXT);
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD before = ::GetFileAttributesA(path.c_str());

    EXPECT_FALSE(SaveFeeSchedule(path.c_str(), 2, 1, 1));
    EXPECT_EQ(ReadFile(path), OLD_TEXT);
    EXPECT_EQ(::GetFileAttributesA(path.c_str()), before);
    EXPECT_EQ(EntriesIn(dir.Path()), 1);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that it can be removed
}

// Another program holds the file open without letting it be replaced: the save fails late,
// at the move, and must clean up after itself.
TEST(WindowsReplace, FileHeldOpenIsLeftAsItWas) {
    const TempDir dir;
    const std::string path = dir.File("Set.ini");
    WriteFile(path, OLD_TEXT);
    const HANDLE holder =
        ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    const bool saved = SaveFeeSchedule(path.c_str(), 2, 1, 1);
    const std::ptrdiff_t entries = EntriesIn(dir.Path());
    ::CloseHandle(holder);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(path), OLD_TEXT);
    EXPECT_EQ(entries, 1);
}

TEST(WindowsReplace, NameThatIsNotUtf8IsRefused) {
    const TempDir dir;
    const std::string path = dir.File("Set") + "\xff.ini";  // a byte no UTF-8 text has
    EXPECT_FALSE(SaveFeeSchedule(path.c_str(), 2, 1, 1));
    EXPECT_EQ(ReadWholeFile(path.c_str()).status, ReadStatus::Failed);
    EXPECT_EQ(EntriesIn(dir.Path()), 0);
}

// --- Names in any script ---

const char CHINESE_DIRECTORY[] = "交易设置";

TEST(WideNames, ChineseDirectoryForLoadAndSave) {
    const TempDir dir;
    const std::filesystem::path directory = dir.Path() / FromUtf8(CHINESE_DIRECTORY);
    ASSERT_TRUE(std::filesystem::create_directory(directory));
    const std::filesystem::path file = directory / "Set.ini";
    const std::string path = ToUtf8(file);

    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), 1.234, 1, 0.5));
    ASSERT_TRUE(std::filesystem::exists(file));
    std::array<wchar_t, VALUE_CAPACITY> value{};
    ::GetPrivateProfileStringW(L"SET", L"COMMISION", L"", value.data(),
                               static_cast<DWORD>(value.size()), file.c_str());
    EXPECT_EQ(std::wstring(value.data()), L"1.23");

    ASSERT_TRUE(::WritePrivateProfileStringW(L"SET", L"TRANSFER", L"0.70", file.c_str()));
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());  // flush
    const FeeSchedule loaded = LoadFeeSchedule(path.c_str());
    EXPECT_EQ(loaded.commissionRate, FromPerMille(1.23));
    EXPECT_EQ(loaded.stampDutyRate, FromPerMille(1.0));
    EXPECT_EQ(loaded.transferRate, FromPerMille(0.7));
    EXPECT_EQ(EntriesIn(directory), 1);
}

std::wstring OwnExecutable() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// Runs this test program again from a copy and returns its exit code.
DWORD RunCopy(const std::filesystem::path& copy, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + copy.wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        return ~DWORD{0};
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = ~DWORD{0};
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return exitCode;
}

// The executable copied into a Chinese directory still finds "Set.ini" beside itself.
TEST(WideNames, ExecutableInAChineseDirectory) {
    const TempDir dir;
    const std::filesystem::path directory = dir.Path() / FromUtf8(CHINESE_DIRECTORY);
    ASSERT_TRUE(std::filesystem::create_directory(directory));
    const std::filesystem::path copy = directory / "settings_tests.exe";
    std::filesystem::copy_file(OwnExecutable(), copy);

    EXPECT_EQ(RunCopy(copy,
                      L"--gtest_brief=1 "
                      L"--gtest_filter=SettingsPath.IsSetIniBesideTheExecutable"),
              0U);
}

TEST(ModulePath, LeavesTheBufferEmptyWhenThePathDoesNotFit) {
    std::array<char, PATH_CAPACITY> full{};
    const std::size_t length = GetModuleFileName(full);
    ASSERT_GT(length, 0U);
    ASSERT_LT(length + 1, full.size());

    std::array<char, PATH_CAPACITY> exact{};
    EXPECT_EQ(GetModuleFileName(std::span(exact).first(length + 1)), length);
    EXPECT_STREQ(exact.data(), full.data());

    std::array<char, PATH_CAPACITY> tooSmall{};
    tooSmall.fill('#');
    EXPECT_EQ(GetModuleFileName(std::span(tooSmall).first(length)), 0U);
    EXPECT_TRUE(std::all_of(tooSmall.begin(), tooSmall.begin() + static_cast<long>(length),
                            [](char c) { return c == '\0'; }));
}

}  // namespace
}  // namespace trellan
