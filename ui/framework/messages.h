#pragma once

#include <cstdint>

// Window messages and their parameters, with the platform's values so a native backend can pass
// them through unchanged. Our own names, so they never collide with the platform's macros.
namespace dlg {

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

inline constexpr unsigned WM_PAINT_MESSAGE = 0x000F;
inline constexpr unsigned WM_CLOSE_MESSAGE = 0x0010;
inline constexpr unsigned WM_ICONERASEBKGND_MESSAGE = 0x0027;
inline constexpr unsigned WM_QUERYDRAGICON_MESSAGE = 0x0037;
inline constexpr unsigned WM_COMMAND_MESSAGE = 0x0111;
inline constexpr unsigned WM_SYSCOMMAND_MESSAGE = 0x0112;

// Notification codes of WM_COMMAND.
inline constexpr unsigned BUTTON_CLICKED = 0;
inline constexpr unsigned EDIT_CHANGED = 0x0300;  // EN_CHANGE: a field's text has changed

inline constexpr unsigned SYSTEM_CLOSE = 0xF060;  // the system menu's Close command

inline constexpr int RESULT_OK = 1;
inline constexpr int RESULT_CANCEL = 2;

constexpr WParam CommandParam(int id, unsigned code) {
    return (static_cast<WParam>(code & 0xFFFF) << 16) | (static_cast<unsigned>(id) & 0xFFFF);
}
constexpr int CommandId(WParam param) {
    return static_cast<int>(param & 0xFFFF);
}
constexpr unsigned CommandCode(WParam param) {
    return static_cast<unsigned>((param >> 16) & 0xFFFF);
}

// An icon from the program's resources; the backend knows what stands behind it.
struct IconResource;
using HIcon = const IconResource*;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

}  // namespace dlg
