#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/framework/dialog.h"
#include "ui/win32/windows_api.h"

// Drives the real dialogs as a user does, from a thread of its own: the test's thread runs the
// dialog modally, the driver types, clicks and presses keys with window messages and reads what
// the windows show. Every wait is bounded.
namespace win32test {

class Driver {
  public:
    explicit Driver(DWORD guiThread) : m_guiThread(guiThread) {}

    // The dialogs of the test's thread that are on screen, message boxes included.
    std::vector<HWND> Dialogs() const;
    // The one that takes input now (its owners are disabled while it runs); nullptr if none.
    HWND ActiveDialog() const;
    // Waits for a dialog with this caption to take input; nullptr when it does not.
    HWND WaitForDialog(std::wstring_view caption) const;
    // Waits for a dialog other than `current` to take input (a message box, say).
    HWND WaitForDialogOtherThan(HWND current) const;
    bool WaitUntil(const std::function<bool()>& done) const;
    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds within) const;
    // The control with the keyboard focus on the test's thread.
    HWND Focus() const;
    // Closes whatever is still open, innermost first; ends the process if that fails, so a test
    // can never hang.
    void CloseAll() const;

  private:
    DWORD m_guiThread;
};

// Runs dialog.DoModal() on this thread while `steps` run on a driver thread, and returns what
// DoModal returned.
int RunDriven(dlg::CDialog& dialog, const std::function<void(Driver&)>& steps);

std::string WindowText(HWND window);
std::string Text(HWND dialog, int id);
// The texts of all of a window's children, one after the other.
std::string ChildTexts(HWND window);
bool Checked(HWND dialog, int id);
// Replaces a field's text as a user does: selects it all, then types character by character.
void Type(HWND dialog, int id, std::string_view text);
// Clicks a button and returns when its command has run.
void Click(HWND dialog, int id);
// Clicks a button whose command opens a modal window, and returns at once.
void ClickLater(HWND dialog, int id);
// A key pressed and released on the focused control, through the dialog's message loop.
void PressKey(HWND focus, WPARAM key);
// Moves the focus as the Tab key does, with WM_NEXTDLGCTL.
void FocusControl(HWND dialog, int id);

}  // namespace win32test
