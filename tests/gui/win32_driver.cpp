// The shared scenarios' calls on USER32: the scenario's thread sends the dialogs the messages a
// user's input makes and reads what they show; the dialog manager of the test's thread handles
// them as it handles a user's.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <thread>

#include "settings/wide_text.h"
#include "settings/windows_api.h"

#include "ui/framework/toolkit.h"

#include "gui/window_driver.h"

namespace gui {
namespace {

constexpr auto WAIT_LIMIT = std::chrono::seconds(15);
constexpr int CLOSE_ROUNDS = 100;  // of WM_CLOSE to the active dialog, POLL_MS apart
constexpr DWORD POLL_MS = 50;
constexpr int MESSAGE_TEXT = 0xFFFF;  // the static control of a message box

DWORD g_guiThread = 0;  // the thread that runs the dialogs

HWND Handle(Window dialog) {
    return static_cast<HWND>(const_cast<void*>(dialog));
}

HWND Item(Window dialog, int id) {
    return ::GetDlgItem(Handle(dialog), id);
}

bool IsDialog(HWND window) {
    wchar_t name[8] = {};
    ::GetClassNameW(window, name, 8);
    return name == std::wstring(L"#32770");
}

// The first is the topmost: an owner is enabled again before its message box is gone.
BOOL CALLBACK FindActive(HWND window, LPARAM found) {
    if (!::IsWindowVisible(window) || !::IsWindowEnabled(window) || !IsDialog(window)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK CountDialogs(HWND window, LPARAM count) {
    *reinterpret_cast<int*>(count) += IsDialog(window) ? 1 : 0;
    return TRUE;
}

// The driven thread's dialog that takes input now (its owners are disabled); nullptr if none.
HWND ActiveDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(g_guiThread, &FindActive, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND Focus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(g_guiThread, &info) ? info.hwndFocus : nullptr;
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return trellan::WindowTextToUtf8(text);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + WAIT_LIMIT;
    while (!done() && std::chrono::steady_clock::now() < limit) {
        ::Sleep(10);
    }
    return done();
}

int RunDriven(dlg::CDialog& dialog, const std::function<void(Window)>& steps) {
    g_guiThread = ::GetCurrentThreadId();
    std::atomic<bool> ended = false;
    std::thread driver([&] {
        if (const Window window = WaitForDialog(nullptr)) {
            steps(window);
        }
        // Whatever the steps left open is closed, innermost first, as the close box does; a
        // dialog that will not close ends the process rather than hang the run.
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
    int left = 0;
    ::EnumThreadWindows(g_guiThread, &CountDialogs, reinterpret_cast<LPARAM>(&left));
    EXPECT_EQ(left, 0) << "a window was left behind";
    return result;
}

Window WaitForDialog(Window current) {
    HWND found = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (found = ActiveDialog()) != nullptr && found != current; }))
        << "no other dialog appeared";
    // Once the dialog answers, its initialisation is over and its message loop runs.
    ::SendMessageW(found, WM_NULL, 0, 0);
    return found == current ? nullptr : found;
}

bool WaitForReturnTo(Window dialog) {
    WaitUntil([&] { return ActiveDialog() == dialog; });
    ::SendMessageW(Handle(dialog), WM_NULL, 0, 0);
    return ActiveDialog() == dialog;
}

bool WaitUntilClosed(Window dialog) {
    return WaitUntil([dialog] { return !::IsWindow(Handle(dialog)); });
}

std::string AcceptMessage() {
    HWND box = nullptr;
    if (!WaitUntil([&] {
            box = ActiveDialog();
            return box != nullptr && ::GetDlgItem(box, MESSAGE_TEXT) != nullptr;
        })) {
        return {};
    }
    const std::string text = Text(box, MESSAGE_TEXT);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilClosed(box));
    return text;
}

std::string Caption(Window dialog) {
    return WindowText(Handle(dialog));
}

std::string Text(Window dialog, int id) {
    return WindowText(Item(dialog, id));
}

bool HasLabel(Window dialog, std::string_view text) {
    return ::FindWindowExW(Handle(dialog), nullptr, L"Static",
                           trellan::WindowTextToWide(text).c_str()) != nullptr;
}

bool Checked(Window dialog, int id) {
    return ::SendMessageW(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(Window dialog, int id) {
    return ::IsWindowEnabled(Item(dialog, id)) != FALSE;
}

int FocusedId(Window dialog) {
    const HWND focus = Focus();
    return focus != nullptr && ::GetParent(focus) == Handle(dialog) ? ::GetDlgCtrlID(focus) : 0;
}

std::string SelectedText(Window dialog, int id) {
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(Item(dialog, id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return Text(dialog, id).substr(start, end - start);
}

std::vector<std::string> SystemMenu(Window dialog) {
    const HMENU menu = ::GetSystemMenu(Handle(dialog), FALSE);
    std::vector<std::string> items;
    for (int at = 0; at < ::GetMenuItemCount(menu); ++at) {
        wchar_t item[64] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(at), item, 64, MF_BYPOSITION);
        items.push_back(trellan::WindowTextToUtf8(item));
    }
    return items;
}

void Type(Window dialog, int id, std::string_view text) {
    const HWND field = Item(dialog, id);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    ::SendMessageW(field, WM_CHAR, VK_BACK, 1);
    for (const wchar_t c : trellan::WindowTextToWide(text)) {
        ::SendMessageW(field, WM_CHAR, c, 1);
    }
}

void Click(Window dialog, int id) {
    ::SendMessageW(Item(dialog, id), BM_CLICK, 0, 0);
}

void ClickLater(Window dialog, int id) {
    ::PostMessageW(Item(dialog, id), BM_CLICK, 0, 0);
}

void Focus(Window dialog, int id) {
    ::SendMessageW(Handle(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(dialog, id)), TRUE);
}

// Through the dialog's message loop, as the keyboard's messages come.
void PressLater(Key key) {
    constexpr WPARAM KEYS[] = {VK_RETURN, VK_ESCAPE, VK_RIGHT, VK_TAB, VK_SPACE};
    const WPARAM code = KEYS[static_cast<int>(key)];
    const HWND focus = Focus();
    ::PostMessageW(focus, WM_KEYDOWN, code, 1);
    ::PostMessageW(focus, WM_KEYUP, code, static_cast<LPARAM>(0xC0000001U));
}

void CloseBoxLater(Window dialog) {
    ::PostMessageW(Handle(dialog), WM_CLOSE, 0, 0);
}

void SystemCommandLater(Window dialog, unsigned command) {
    ::PostMessageW(Handle(dialog), WM_SYSCOMMAND, command, 0);
}

}  // namespace gui

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const dlg::Toolkit toolkit(argc, argv);  // as the program starts it
    return RUN_ALL_TESTS();
}
