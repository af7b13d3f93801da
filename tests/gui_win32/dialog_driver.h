#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "settings/windows_api.h"

#include "ui/framework/dialog.h"

// Drives the real dialogs as a user does, from a thread of its own: the test's thread runs the
// dialog modally, the driver types, clicks and presses keys with window messages and reads what
// the windows show. Every wait is bounded.
namespace win32test {

// Runs dialog.DoModal() on this thread while `steps` run on a driver thread, then closes whatever
// is still open (ending the process if that fails, so that no test hangs); returns DoModal's
// result.
int RunDriven(dlg::CDialog& dialog, const std::function<void()>& steps);
bool WaitUntil(const std::function<bool()>& done);
// The driven thread's dialog that takes input now (its owners are disabled); nullptr if none.
HWND ActiveDialog();
// Waits for a dialog other than `current` to take input and to be initialised; nullptr if none.
HWND WaitForDialogOtherThan(HWND current);
// Waits for `dialog` to take input again, and for it to have handled what was sent before.
bool WaitForReturnTo(HWND dialog);
// The control with the keyboard focus on the driven thread.
HWND Focus();
// The text of a window, or of its control `id`.
std::string Text(HWND window, int id = 0);
bool Checked(HWND dialog, int id);
// Replaces a field's text as a user does: selects it all, then types character by character.
void Type(HWND dialog, int id, std::string_view text);
// Clicks a button and returns when its command has run; `later`: returns at once, for a command
// that opens a modal window.
void Click(HWND dialog, int id, bool later = false);
// A key pressed and released on the focused control, through the dialog's message loop; returns
// once the loop has taken it. `shift`: with Shift held.
void PressKey(WPARAM key, bool shift = false);
// The keys of a key table row (tests/gui/keyboard_cases.h), pressed in turn in `dialog`.
void PressKeys(HWND dialog, std::string_view keys);
// Moves the focus as the Tab key does, with WM_NEXTDLGCTL.
void FocusControl(HWND dialog, int id);
// A test case's name from a table row's: letters and digits kept, anything else an underscore.
std::string CaseName(std::string name);

}  // namespace win32test
