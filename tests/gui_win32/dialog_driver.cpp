#include "dialog_driver.h"

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <thread>
#include <utility>

#include "ui/win32/wide_text.h"

namespace win32test {
namespace {

constexpr auto WAIT_LIMIT = std::chrono::seconds(15);
constexpr int CLOSE_ROUNDS = 100;  // of WM_CLOSE to the active dialog, POLL_MS apart
constexpr DWORD POLL_MS = 50;

DWORD g_guiThread = 0;  // the thread that runs the dialogs

// Messages the driver posts behind the keys it presses: the dialog's thread, taking them from its
// queue, holds Shift down or lets it go, and counts the marks, so the driver knows the keys
// before them were handled.
constexpr UINT SHIFT_DOWN = WM_APP + 0x3F0;
constexpr UINT SHIFT_UP = WM_APP + 0x3F1;
constexpr UINT MARK = WM_APP + 0x3F2;
std::atomic<int> g_marks = 0;

void HoldShift(bool down) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

LRESULT CALLBACK WatchQueue(int code, WPARAM removed, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message >= SHIFT_DOWN &&
        message->message <= MARK) {
        if (message->message == MARK) {
            ++g_marks;
        } else {
            HoldShift(message->message == SHIFT_DOWN);
        }
        message->message = WM_NULL;
    }
    return ::CallNextHookEx(nullptr, code, removed, lParam);
}

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
    const HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, &WatchQueue, nullptr, g_guiThread);
    const int result = dialog.DoModal();
    ::UnhookWindowsHookEx(hook);
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

void PressKey(WPARAM key, bool shift) {
    const HWND focus = Focus();
    const int marks = g_marks;
    // Thread messages, not the focused window's: a key may close that window.
    if (shift) {
        ::PostThreadMessageW(g_guiThread, SHIFT_DOWN, 0, 0);
    }
    ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    ::PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001U));
    if (shift) {
        ::PostThreadMessageW(g_guiThread, SHIFT_UP, 0, 0);
    }
    ::PostThreadMessageW(g_guiThread, MARK, 0, 0);
    // Taken, or it closed the window it was pressed in (whose loop then takes no more).
    EXPECT_TRUE(WaitUntil([marks, focus] { return g_marks > marks || !::IsWindow(focus); }))
        << "key " << key << " not taken";
}

void PressKeys(HWND dialog, std::string_view keys) {
    static const std::map<std::string_view, std::pair<WPARAM, bool>> NAMED{
        {"Tab", {VK_TAB, false}},     {"BackTab", {VK_TAB, true}},  {"Left", {VK_LEFT, false}},
        {"Right", {VK_RIGHT, false}}, {"Space", {VK_SPACE, false}},
    };
    while (!keys.empty()) {
        std::string_view key = keys.substr(0, keys.find(' '));
        keys.remove_prefix(std::min(keys.size(), key.size() + 1));
        const bool message = key.ends_with('!');
        key.remove_suffix(message ? 1 : 0);
        const auto named = NAMED.find(key);
        if (named != NAMED.end()) {
            PressKey(named->second.first, named->second.second);
        } else {
            for (const wchar_t c : dlg::win32::ToWide(key)) {
                ::SendMessageW(Focus(), WM_CHAR, c, 1);
            }
        }
        if (message) {
            ASSERT_NE(WaitForDialogOtherThan(dialog), nullptr) << "no message after " << key;
            PressKey(VK_RETURN);
            ASSERT_TRUE(WaitForReturnTo(dialog));
        }
    }
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
