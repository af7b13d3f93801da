// Trellan.exe itself: its version record, and the program copied alone into an empty folder,
// started as a user starts it, reading the Set.ini beside it.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "res/resource_ids.h"

#include "ui/win32/wide_text.h"
#include "ui/win32/windows_api.h"

#include "dialog_driver.h"
#include "settings_file_cases.h"

namespace {

constexpr DWORD WAIT_LIMIT_MS = 15000;

std::filesystem::path TestDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return std::filesystem::path(path).parent_path();
}

// Where the build puts the program, beside the tests' own folder.
std::filesystem::path Program() {
    return (TestDirectory() / TRELLAN_PROGRAM_FROM_TESTS).lexically_normal();
}

std::wstring VersionString(const std::vector<std::uint8_t>& record, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!::VerQueryValueW(record.data(), path.c_str(), &value, &length) || value == nullptr) {
        return L"(missing)";
    }
    return std::wstring(static_cast<const wchar_t*>(value)).substr(0, length);
}

TEST(VersionRecord, IsTheProgramsOwn) {
    const std::wstring program = Program().wstring();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_GT(size, 0U) << Program().string();
    std::vector<std::uint8_t> record(size);
    ASSERT_TRUE(::GetFileVersionInfoW(program.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000001U);  // 0.1
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00020000U);  // .2.0
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00000001U);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00020000U);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3FU);
    EXPECT_EQ(fixed->dwFileFlags, 0U);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4U);
    EXPECT_EQ(translation[0], 0x0804);  // Chinese (PRC)
    EXPECT_EQ(translation[1], 1200);    // UTF-16

    EXPECT_EQ(VersionString(record, L"FileVersion"), L"0, 1, 2, 0");
    EXPECT_EQ(VersionString(record, L"ProductVersion"), L"0.12");
    for (const wchar_t* name : {L"FileDescription", L"InternalName", L"ProductName"}) {
        EXPECT_EQ(VersionString(record, name), L"Trellan") << dlg::win32::ToUtf8(name);
    }
    EXPECT_EQ(VersionString(record, L"OriginalFilename"), L"Trellan.exe");
    EXPECT_NE(VersionString(record, L"LegalCopyright").find(L"Trellan"), std::wstring::npos);
}

// The program, copied alone into a fresh folder whose name is not ASCII.
class ProgramAlone : public testing::TestWithParam<gui::SettingsFileCase> {
  protected:
    void SetUp() override {
        std::random_device random;
        m_folder =
            std::filesystem::temp_directory_path() / (L"交易计算 " + std::to_wstring(random()));
        ASSERT_TRUE(std::filesystem::create_directory(m_folder));
        std::filesystem::copy_file(Program(), m_folder / L"Trellan.exe");
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    std::filesystem::path m_folder;
};

struct FindWindowOf {
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK MatchProcess(HWND window, LPARAM search) {
    auto* wanted = reinterpret_cast<FindWindowOf*>(search);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == wanted->process && ::IsWindowVisible(window) &&
        win32test::WindowText(window) == "Trellan 0.12") {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForCalculator(DWORD process) {
    FindWindowOf search{process};
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_LIMIT_MS);
    while (search.found == nullptr && std::chrono::steady_clock::now() < limit) {
        ::EnumWindows(&MatchProcess, reinterpret_cast<LPARAM>(&search));
        ::Sleep(20);
    }
    return search.found;
}

std::vector<std::wstring> FolderContents(const std::filesystem::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().wstring());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_P(ProgramAlone, StartsAndShowsTheRatesOfTheSetIniBesideIt) {
    const gui::SettingsFileCase& row = GetParam();
    if (row.fileText != nullptr) {
        std::ofstream(m_folder / L"Set.ini", std::ios::binary) << row.fileText;
    }
    std::wstring command = L"\"" + (m_folder / L"Trellan.exe").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 m_folder.wstring().c_str(), &startup, &process));
    const HWND window = WaitForCalculator(process.dwProcessId);
    EXPECT_NE(window, nullptr);
    if (window != nullptr) {
        EXPECT_EQ(win32test::Text(window, res::IDC_RATE_SUMMARY), row.summary);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (::WaitForSingleObject(process.hProcess, WAIT_LIMIT_MS) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end";
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, WAIT_LIMIT_MS);
    }
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0U);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // It wrote nothing: Set.ini comes into being only when rates are confirmed.
    std::vector<std::wstring> expected{L"Trellan.exe"};
    if (row.fileText != nullptr) {
        expected.insert(expected.begin(), L"Set.ini");
    }
    EXPECT_EQ(FolderContents(m_folder), expected);
}

INSTANTIATE_TEST_SUITE_P(SharedSettingsFiles, ProgramAlone, testing::ValuesIn(gui::SETTINGS_FILES),
                         [](const testing::TestParamInfo<gui::SettingsFileCase>& param) {
                             std::string name = param.param.name;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
                             }
                             return name;
                         });

}  // namespace
