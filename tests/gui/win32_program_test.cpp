// Trellan.exe itself: the program copied alone into an empty folder, started as a user starts
// it, reading the Set.ini beside it as the settings tests of every build read it.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>

#include "settings/windows_api.h"

#include "res/resource_ids.h"
#include "res/version.h"

#include "gui/window_driver.h"
#include "support/row_name.h"
#include "support/settings_file_cases.h"

namespace {

constexpr DWORD WAIT_LIMIT_MS = 15000;

// Where the build puts the program, beside the tests' own folder.
std::filesystem::path Program() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return (std::filesystem::path(path).parent_path() / TRELLAN_PROGRAM_FROM_TESTS)
        .lexically_normal();
}

// The program, copied alone into a fresh folder whose name is not ASCII.
class ProgramAlone : public testing::TestWithParam<support::SettingsFileCase> {
  protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   (L"交易计算 " + std::to_wstring(std::random_device{}()));
        ASSERT_TRUE(std::filesystem::create_directory(m_folder));
        std::filesystem::copy_file(Program(), m_folder / L"Trellan.exe");
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path m_folder;
};

TEST_P(ProgramAlone, StartsAndShowsTheRatesOfTheSetIniBesideIt) {
    const support::SettingsFileCase& row = GetParam();
    if (row.fileText != nullptr) {
        std::ofstream(m_folder / L"Set.ini", std::ios::binary) << row.fileText;
    }
    std::wstring command = L"\"" + (m_folder / L"Trellan.exe").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 m_folder.wstring().c_str(), &startup, &process));
    HWND window = nullptr;
    EXPECT_TRUE(gui::WaitUntil([&] {
        window = ::FindWindowW(L"#32770", L"" TRELLAN_PRODUCT_NAME L" " TRELLAN_VERSION_TEXT);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        return owner == process.dwProcessId && ::IsWindowVisible(window);
    }));
    EXPECT_EQ(gui::Text(window, res::IDC_RATE_SUMMARY), row.summary);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, WAIT_LIMIT_MS), WAIT_OBJECT_0);
    ::TerminateProcess(process.hProcess, 1);  // should it still run
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // It wrote nothing: Set.ini comes into being only when rates are confirmed.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder), {}),
              row.fileText != nullptr ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(SharedSettingsFiles, ProgramAlone,
                         testing::ValuesIn(support::SETTINGS_FILES), support::RowName{});

}  // namespace
