#include "dialog_driver.h"

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <thread>

#include "ui/win32/wide_text.h"

namespace win32test {
namespace {

constexpr auto WAIT_LIMIT = std::chrono::seconds(15);
constexpr int CLOSE_ROUNDS = 100;  // of WM_CLOSE to the active dialog, POLL_MS apart
constexpr DWORD POLL_MS = 50;

DWORD g_guiThread = 0;  // the thread that runs the dialogs

// The first is the topmost: an owner is enabled again before its message box is gone.
BOOL CALLBACK FindActive(HWND window, LPARAM found) {
    wchar_t name[8] = {};
    ::GetClassNameW(window, name, 8);
    if (!::IsWindowVisible(window) || !::IsWindowEnabled(window) ||
        name != std::wstring(L"#32770")) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

int RunDriven(dlg::CDialog& dialog, const std::function<void()>& steps) {
    g_guiThread = ::GetCurrentThreadId();
    std::atomic<bool> ended = false;
    std::thread driver([&] {
        steps();
        for (int round = 0; !ended; ++round, ::Sleep(POLL_MS)) {
            if (round == CLOSE_ROUNDS) {
                ADD_FAILURE() << "a dialog could not be closed";
                std::fflush(stdout);
                ::TerminateProcess(::GetCurrentProcess(), 3);
            }
            ::PostMessageW(ActiveDialog(), WM_CLOSE, 0, 0);
        }
    });
    const int result = dialog.DoModal();
    ended = true;
    driver.join();
    return result;
}

bool WaitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + WAIT_LIMIT;
    while (!done() && std::chrono::steady_clock::now() < limit) {
        ::Sleep(10);
    }
    return done();
}

HWND ActiveDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(g_guiThread, &FindActive, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND WaitForDialogOtherThan(HWND current) {
    HWND found = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (found = ActiveDialog()) != nullptr && found != current; }))
        << "no other dialog appeared";
    // Once the dialog answers, its initialisation is over and its message loop runs.
    ::SendMessageW(found, WM_NULL, 0, 0);
    return found == current ? nullptr : found;
}

bool WaitForReturnTo(HWND dialog) {
    const bool back = WaitUntil([&] { return ActiveDialog() == dialog; });
    ::SendMessageW(dialog, WM_NULL, 0, 0);
    return back;
}

HWND Focus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(g_guiThread, &info) ? info.hwndFocus : nullptr;
}

std::string Text(HWND window, int id) {
    window = id == 0 ? window : ::GetDlgItem(window, id);
    std::wstring text(static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return dlg::win32::ToUtf8(text);
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

void Click(HWND dialog, int id, bool later) {
    if (later) {
        ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    } else {
        ::SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
    }
}

void PressKey(WPARAM key) {
    const HWND focus = Focus();
    ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    ::PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001U));
}

void FocusControl(HWND dialog, int id) {
    ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, id)), TRUE);
}

std::string CaseName(std::string name) {
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

}  // namespace win32test
