// The settings file on Windows, in a folder with a Chinese name that only the wide calls reach:
// what counts as a failed read, and saves that keep the file's attributes or, when the file is
// read-only or held open, leave it as it was, with no temporary file beside it.
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <process.h>
#include <string>

#include "settings/executable_path.h"
#include "settings/file_io.h"
#include "settings/settings_file.h"
#include "settings/windows_api.h"

#include "support/rates.h"
#include "support/row_name.h"
#include "support/temp_dir.h"

namespace trellan {
namespace {

namespace fs = std::filesystem;
using enum ReadStatus;

const std::string OLD = "; mine\r\n[SET]\r\nCOMMISION=1.50\r\n";

// A folder of 90 Chinese characters: 271 bytes of UTF-8 with its separator, more than a path of
// PATH_CAPACITY bytes holds, yet well within what Windows opens.
fs::path ChineseFolder(const fs::path& parent) {
    std::u8string name;
    for (int i = 0; i < 90; ++i) {
        name += u8"交";
    }
    return parent / name;
}

struct FileCase {
    const char* name;
    const char* fileName;  // in the Chinese folder
    DWORD attributes;      // given to the file there; 0: no file
    bool heldOpen;         // by a program that does not let it be replaced
    ReadStatus read;
    bool saves;
};

const FileCase FILES[] = {
    {"a device", "NUL", 0, false, Failed, false},
    {"a name that is not UTF-8", "Set\xff.ini", 0, false, Failed, false},
    {"hidden and system kept", "Set.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false, Ok,
     true},
    // The platform's own profile call will not write a read-only file, so neither do we.
    {"read-only", "Set.ini", FILE_ATTRIBUTE_READONLY, false, Ok, false},
    // The save fails late, at the move, and must clean up after itself.
    {"held open", "Set.ini", FILE_ATTRIBUTE_NORMAL, true, Ok, false},
};

class WindowsFile : public testing::TestWithParam<FileCase> {};

TEST_P(WindowsFile, ReadsAndSavesOrLeavesItAsItWas) {
    const FileCase& row = GetParam();
    const support::TempDir dir;
    const fs::path folder = ChineseFolder(dir.Path());
    ASSERT_TRUE(fs::create_directory(folder));
    const std::u8string utf8 = folder.u8string();
    const std::string path = std::string(utf8.begin(), utf8.end()) + "\\" + row.fileName;
    const fs::path file = folder / "Set.ini";
    if (row.attributes != 0) {
        support::WriteFile(file, OLD);
        ASSERT_TRUE(::SetFileAttributesW(file.c_str(), row.attributes));
    }
    EXPECT_EQ(ReadWholeFile(path.c_str()).status, row.read);

    const std::unique_ptr<void, decltype(&::CloseHandle)> holder(
        row.heldOpen ? ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr)
                     : nullptr,
        &::CloseHandle);
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveFeeSchedule(path.c_str(), support::Rates(2, 1, 1)), row.saves);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), row.attributes != 0 ? 1 : 0);
    if (row.attributes != 0) {
        EXPECT_EQ(support::ReadFile(file) == OLD, !row.saves);
        // Hidden and system stay; a read-only file stays so.
        constexpr DWORD SEEN =
            FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        EXPECT_EQ(::GetFileAttributesW(file.c_str()) & SEEN, row.attributes & SEEN);
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that it can be removed
    }
}

INSTANTIATE_TEST_SUITE_P(Files, WindowsFile, testing::ValuesIn(FILES), support::RowName{});

// A copy of this program in the Chinese folder still finds Set.ini beside itself.
TEST(WideNames, ExecutableInAChineseFolder) {
    const support::TempDir dir;
    const fs::path folder = ChineseFolder(dir.Path());
    ASSERT_TRUE(fs::create_directory(folder));
    std::array<wchar_t, MAX_PATH> self{};
    ASSERT_GT(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH), 0U);
    const fs::path copy = folder / L"settings_tests.exe";
    ASSERT_TRUE(::CopyFileW(self.data(), copy.c_str(), TRUE));
    EXPECT_EQ(::_wspawnl(_P_WAIT, copy.c_str(), L"settings_tests", L"--gtest_brief=1",
                         L"--gtest_filter=SettingsPath.BesideTheExecutable", nullptr),
              0);
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
