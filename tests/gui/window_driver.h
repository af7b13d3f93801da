#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "ui/framework/dialog.h"

// Drives the real windows as a user does, the same way on every backend: the shared scenarios
// are written against these calls, and each backend's driver (Qt, USER32) defines them. The
// scenario runs on a thread of its own while the test's thread runs the dialogs; a call returns
// once its effect is done, except the "later" ones (a click or key that may open a modal window),
// which return at once. Every wait is bounded.
namespace gui {

using Window = const void*;  // the backend's own handle of a dialog

enum class Key { Enter, Escape, Right, Tab, Space, Left, BackTab };  // BackTab: Shift+Tab

// The dialog that takes input now, once it has handled what was sent before; nullptr if none.
Window ActiveDialog();
// Polls in a row, each answered behind everything sent before it, that found no message box: none
// is coming, and a wait for one ends at once rather than when its time is up.
inline constexpr int SETTLED = 3;
void HandleEvents();  // on the dialogs' thread, once no dialog runs
int OpenWindows();    // the windows of the dialogs' thread that still exist
// Waits for a message box, closes it with its button and returns its text ("" when none came,
// told as soon as everything sent before has been handled without one).
std::string AcceptMessage();

std::string Caption(Window dialog);
std::string Text(Window dialog, int id);
bool Checked(Window dialog, int id);
bool Enabled(Window dialog, int id);
bool HasFocus(Window dialog, int id);
std::string SelectedText(Window dialog, int id);
std::string Tooltip(Window dialog, int id);  // "" when the control has none
// The pixels (0xRRGGBB) inside the control's frame, in each colour scheme the backend offers.
std::vector<std::vector<std::uint32_t>> Shots(Window dialog, int id);

// A text a control shows, as the control lays it out in its font (wrapped where the control
// wraps), against the room the control draws it in, in the backend's pixels.
struct TextFit {
    std::string text;
    int width, height;          // the text's, laid out
    int roomWidth, roomHeight;  // the control's
    int lineWidth;              // the text's on one line
};
// Every static text, button, check box and radio button of the dialog that shows a text.
std::vector<TextFit> TextFits(Window dialog);

// Replaces a field's text as a user does: selects it all, then types.
void Type(Window dialog, int id, std::string_view text);
void Click(Window dialog, int id, bool later = false);
void Focus(Window dialog, int id);        // as the Tab key moves it
void Press(Key key, bool later = false);  // on the focused control
void CloseBoxLater(Window dialog);
void SystemCommandLater(Window dialog, unsigned command);  // as the system menu sends it

// True once done() has been true: not asked again, since what it found (a message box, say) may
// be gone by then.
inline bool WaitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    for (;;) {
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// A dialog other than current that takes input; nullptr when none comes.
inline Window WaitForDialog(Window current) {
    Window found = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (found = ActiveDialog()) != nullptr && found != current; }))
        << "no other dialog appeared";
    return found == current ? nullptr : found;
}

inline bool WaitForReturnTo(Window dialog) {
    return WaitUntil([dialog] { return ActiveDialog() == dialog; });
}

// Waits until dialog no longer takes input, as a closed one does.
inline bool WaitUntilClosed(Window dialog) {
    return WaitUntil([dialog] { return ActiveDialog() != dialog; });
}

// Runs dialog.DoModal() while steps drive its window, then closes whatever is still open,
// innermost first, as the close box does; returns DoModal's result.
inline int RunDriven(dlg::CDialog& dialog, const std::function<void(Window)>& steps) {
    std::atomic<bool> ended = false;
    std::atomic<bool> driven = false;
    std::thread driver([&] {
        if (const Window window = WaitForDialog(nullptr)) {
            steps(window);
        }
        for (; !ended; std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
            if (const Window open = ActiveDialog()) {
                CloseBoxLater(open);
            }
        }
        driven = true;
    });
    const int result = dialog.DoModal();
    ended = true;
    while (!driven) {
        HandleEvents();
    }
    driver.join();
    EXPECT_EQ(OpenWindows(), 0) << "a window was left behind";
    return result;
}

}  // namespace gui
