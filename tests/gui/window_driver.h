#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/framework/dialog.h"

// Drives the real windows as a user does, the same way on every backend: the shared scenarios
// are written against these calls, and each backend's driver (Qt, USER32) defines them. The
// scenario runs on a thread of its own while the test's thread runs the dialogs; a call returns
// once its effect is done, except the "later" ones (a click or key that may open a modal window),
// which return at once. Every wait is bounded.
namespace gui {

using Window = const void*;  // the backend's own handle of a dialog

enum class Key { Enter, Escape, Right, Tab, Space };

// Asks until done() holds, for a few seconds at most; returns whether it held.
bool WaitUntil(const std::function<bool()>& done);

// Runs dialog.DoModal() while steps drive its window, then closes whatever is still open and
// checks that no window is left; returns DoModal's result.
int RunDriven(dlg::CDialog& dialog, const std::function<void(Window)>& steps);

// A dialog other than current that takes input; nullptr when none comes.
Window WaitForDialog(Window current);
// Waits until dialog takes input again and has handled what was sent before.
bool WaitForReturnTo(Window dialog);
bool WaitUntilClosed(Window dialog);
// Waits for a message box, closes it with its button and returns its text ("" when none came).
std::string AcceptMessage();

std::string Caption(Window dialog);
std::string Text(Window dialog, int id);
bool HasLabel(Window dialog, std::string_view text);
bool Checked(Window dialog, int id);
bool Enabled(Window dialog, int id);
int FocusedId(Window dialog);  // 0 when no control of dialog has the focus
std::string SelectedText(Window dialog, int id);
// The system menu's items, top down; a separator is "".
std::vector<std::string> SystemMenu(Window dialog);

// Replaces a field's text as a user does: selects it all, then types.
void Type(Window dialog, int id, std::string_view text);
void Click(Window dialog, int id);
void ClickLater(Window dialog, int id);
// Moves the keyboard focus to a control, as the Tab key does.
void Focus(Window dialog, int id);
void PressLater(Key key);  // on the focused control
void CloseBoxLater(Window dialog);
void SystemCommandLater(Window dialog, unsigned command);  // as the system menu sends it

}  // namespace gui
