// The settings file on Windows, in a folder with a Chinese name that only the wide calls reach:
// what counts as a missing or a failed read, and saves that keep the file's attributes or, when
// the file is read-only, locked or in the way, leave it as it was without a temporary file.
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <process.h>
#include <string>

#include "core/fee_schedule.h"

#include "settings/executable_path.h"
#include "settings/file_io.h"
#include "settings/settings_file.h"
#include "settings/windows_api.h"

#include "support/rates.h"
#include "support/row_name.h"
#include "support/temp_dir.h"

namespace trellan {
namespace {

constexpr char CHINESE_FOLDER[] = "交易设置";
const std::string OLD = "; mine\r\n[SET]\r\nCOMMISION=1.50\r\n";

// The wide form of a UTF-8 path; a byte that is not UTF-8 becomes U+FFFD.
std::wstring Wide(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(utf8.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), size);
    return wide.substr(0, static_cast<std::size_t>(length));
}

struct FileCase {
    const char* name;
    std::optional<std::string> before;  // the file there; nullopt: none
    DWORD attributes;                   // given to it; FILE_ATTRIBUTE_DIRECTORY: a folder instead
    bool heldOpen;                      // by a program that does not let it be replaced
    ReadStatus read;
    bool saves;
    const char* fileName = "Set.ini";  // in the Chinese folder
};

using enum ReadStatus;

// What every build does with a missing, a too large or a folder in place of the file is in the
// shared save table (settings_file_test.cpp); these are Windows' own.
const FileCase FILES[] = {
    {"NewFile", std::nullopt, 0, false, Missing, true},
    {"ADevice", std::nullopt, 0, false, Failed, false, "NUL"},
    {"NameNotUtf8", std::nullopt, 0, false, Failed, false, "Set\xff.ini"},
    {"HiddenSystemKept", OLD, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false, Ok, true},
    // The platform's own profile call will not write a read-only file, so neither do we.
    {"ReadOnly", OLD, FILE_ATTRIBUTE_READONLY, false, Ok, false},
    // The save fails late, at the move, and must clean up after itself.
    {"HeldOpen", OLD, 0, true, Ok, false},
};

class WindowsFile : public testing::TestWithParam<FileCase> {};

TEST_P(WindowsFile, ReadsAndSavesOrLeavesItAsItWas) {
    const FileCase& row = GetParam();
    const support::TempDir dir;
    const std::string folder = dir.Path().string() + "\\" + CHINESE_FOLDER;
    const std::string path = folder + "\\" + row.fileName;
    const std::wstring file = Wide(path);
    ASSERT_TRUE(::CreateDirectoryW(Wide(folder).c_str(), nullptr));
    if (row.attributes == FILE_ATTRIBUTE_DIRECTORY) {
        ASSERT_TRUE(::CreateDirectoryW(file.c_str(), nullptr));
    } else if (row.before) {
        support::WriteFile(file, *row.before);
        ASSERT_TRUE(row.attributes == 0 || ::SetFileAttributesW(file.c_str(), row.attributes));
    }
    EXPECT_EQ(ReadWholeFile(path.c_str()).status, row.read);

    const std::unique_ptr<void, decltype(&::CloseHandle)> holder(
        row.heldOpen ? ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr)
                     : nullptr,
        &::CloseHandle);
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveFeeSchedule(path.c_str(), support::Rates(2, 1, 1)), row.saves);
    const bool there = row.before || row.attributes == FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Wide(folder)), {}),
              there || row.saves ? 1 : 0);  // never a temporary file left behind
    if (row.saves) {
        EXPECT_EQ(LoadFeeSchedule(path.c_str()).commissionRate, FromPerMille(PerMille{2}));
    } else if (row.before) {
        EXPECT_EQ(support::ReadFile(file), *row.before);
    }
    // Hidden and system stay, a read-only file or a folder stays so, a new file is ordinary.
    constexpr DWORD SEEN = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_DIRECTORY;
    if (there || row.saves) {
        EXPECT_EQ(::GetFileAttributesW(file.c_str()) & SEEN, row.attributes & SEEN);
    }
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that it can be removed
}

INSTANTIATE_TEST_SUITE_P(Files, WindowsFile, testing::ValuesIn(FILES), support::RowName{});

// A copy of this program in a Chinese folder still finds Set.ini beside itself, also in one of
// 90 characters (181 bytes with its separator in code page 936, 271 in UTF-8).
TEST(WideNames, ExecutableInAChineseFolder) {
    std::string deep;
    for (int i = 0; i < 90; ++i) {
        deep += "交";
    }
    for (const std::string& name : {std::string(CHINESE_FOLDER), deep}) {
        const support::TempDir dir;
        const std::wstring folder = Wide(dir.Path().string() + "\\" + name);
        ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
        std::array<wchar_t, MAX_PATH> self{};
        ASSERT_GT(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH), 0U);
        const std::wstring copy = folder + L"\\settings_tests.exe";
        ASSERT_TRUE(::CopyFileW(self.data(), copy.c_str(), TRUE));
        EXPECT_EQ(::_wspawnl(_P_WAIT, copy.c_str(), L"settings_tests", L"--gtest_brief=1",
                             L"--gtest_filter=SettingsPath.IsSetIniBesideTheExecutable", nullptr),
                  0)
            << name.size() << " bytes";
    }
}

TEST(ModulePath, FitsItsBufferOrStaysEmpty) {
    std::array<char, PATH_BUFFER_SIZE> buffer{};
    const std::size_t length = ExecutablePath(buffer);
    ASSERT_GT(length, 0U);
    EXPECT_EQ(ExecutablePath(std::span(buffer).first(length + 1)), length);  // an exact fit
    buffer.fill('#');
    EXPECT_EQ(ExecutablePath(std::span(buffer).first(length)), 0U);
    EXPECT_EQ(std::string(buffer.data(), length), std::string(length, '\0'));
}

}  // namespace
}  // namespace trellan
