#include "dialog_driver.h"

#include <array>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "ui/win32/wide_text.h"

namespace win32test {
namespace {

constexpr auto WAIT_LIMIT = std::chrono::seconds(15);
constexpr auto CLOSE_LIMIT = std::chrono::seconds(2);
constexpr DWORD POLL_MS = 10;
constexpr int CLOSE_ROUNDS = 5;

bool IsDialogWindow(HWND window) {
    std::array<wchar_t, 16> name{};
    ::GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::wstring_view(name.data()) == L"#32770";
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
    if (::IsWindowVisible(window) && IsDialogWindow(window)) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
    *reinterpret_cast<std::string*>(texts) += WindowText(child);
    return TRUE;
}

}  // namespace

std::vector<HWND> Driver::Dialogs() const {
    std::vector<HWND> found;
    ::EnumThreadWindows(m_guiThread, &CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND Driver::ActiveDialog() const {
    for (HWND dialog : Dialogs()) {
        if (::IsWindowEnabled(dialog)) {
            return dialog;
        }
    }
    return nullptr;
}

bool Driver::WaitUntil(const std::function<bool()>& done) const {
    return WaitUntil(done, WAIT_LIMIT);
}

bool Driver::WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds within) const {
    const auto limit = std::chrono::steady_clock::now() + within;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        ::Sleep(POLL_MS);
    }
    return true;
}

HWND Driver::WaitForDialog(std::wstring_view caption) const {
    HWND found = nullptr;
    WaitUntil([&] {
        found = ActiveDialog();
        return found != nullptr && dlg::win32::ToWide(WindowText(found)) == caption;
    });
    if (found == nullptr || dlg::win32::ToWide(WindowText(found)) != caption) {
        ADD_FAILURE() << "no dialog " << dlg::win32::ToUtf8(caption) << " appeared";
        return nullptr;
    }
    // Once the dialog answers, its initialisation is over and its message loop runs.
    ::SendMessageW(found, WM_NULL, 0, 0);
    return found;
}

HWND Driver::WaitForDialogOtherThan(HWND current) const {
    HWND found = nullptr;
    if (!WaitUntil([&] {
            found = ActiveDialog();
            return found != nullptr && found != current;
        })) {
        ADD_FAILURE() << "no other dialog appeared";
        return nullptr;
    }
    ::SendMessageW(found, WM_NULL, 0, 0);
    return found;
}

HWND Driver::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(m_guiThread, &info) ? info.hwndFocus : nullptr;
}

void Driver::CloseAll() const {
    for (int round = 0; round < CLOSE_ROUNDS; ++round) {
        if (Dialogs().empty()) {
            return;
        }
        if (HWND active = ActiveDialog()) {
            ::PostMessageW(active, WM_CLOSE, 0, 0);
            WaitUntil([&] { return !::IsWindow(active) || !::IsWindowVisible(active); },
                      CLOSE_LIMIT);
        } else {
            ::Sleep(POLL_MS);
        }
    }
    ADD_FAILURE() << "a dialog could not be closed";
    std::fflush(stdout);
    ::TerminateProcess(::GetCurrentProcess(), 3);
}

int RunDriven(dlg::CDialog& dialog, const std::function<void(Driver&)>& steps) {
    const DWORD guiThread = ::GetCurrentThreadId();
    std::thread driver([guiThread, &steps] {
        Driver driving(guiThread);
        steps(driving);
        driving.CloseAll();
    });
    const int result = dialog.DoModal();
    driver.join();
    return result;
}

std::string WindowText(HWND window) {
    const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied =
        ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return dlg::win32::ToUtf8(text);
}

std::string Text(HWND dialog, int id) {
    return WindowText(::GetDlgItem(dialog, id));
}

std::string ChildTexts(HWND window) {
    std::string texts;
    ::EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool Checked(HWND dialog, int id) {
    return ::SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Type(HWND dialog, int id, std::string_view text) {
    const HWND field = ::GetDlgItem(dialog, id);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    ::SendMessageW(field, WM_CHAR, VK_BACK, 1);
    for (const wchar_t c : dlg::win32::ToWide(text)) {
        ::SendMessageW(field, WM_CHAR, c, 1);
    }
}

void Click(HWND dialog, int id) {
    ::SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
}

void ClickLater(HWND dialog, int id) {
    ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PressKey(HWND focus, WPARAM key) {
    ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    ::PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001U));
}

void FocusControl(HWND dialog, int id) {
    ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, id)), TRUE);
}

}  // namespace win32test
