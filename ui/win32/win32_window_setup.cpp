#include "ui/win32/win32_window_setup.h"

#include <algorithm>
#include <string>
#include <vector>

#include "settings/wide_text.h"

#include "res/control_names.h"

#include "ui/win32/common_controls.h"

namespace dlg::win32 {
namespace {

// Our templates give no position: the dialog comes up centred over its owner, or on the screen's
// work area when it has none, and never beyond that work area.
void CentreOverOwner(HWND window) {
    RECT own{};
    ::GetWindowRect(window, &own);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT area = monitor.rcWork;
    const HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    }
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    LONG x = area.left + (area.right - area.left - width) / 2;
    LONG y = area.top + (area.bottom - area.top - height) / 2;
    x = std::max(monitor.rcWork.left, std::min(x, monitor.rcWork.right - width));
    y = std::max(monitor.rcWork.top, std::min(y, monitor.rcWork.bottom - height));
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A disabled field holds a result: greyed it would be the faintest text on screen, so it is
// made read-only instead, drawn in the text colour, selectable and copyable, and it keeps its
// tab stop, where a screen reader reads it.
void ShowDisabledFieldsReadOnly(HWND window, const res::DialogTemplate& layout) {
    for (const res::ControlTemplate& control : layout.controls) {
        const HWND item = ::GetDlgItem(window, control.id);
        if (control.kind != res::ControlKind::Edit || (control.style & res::STYLE_DISABLED) == 0 ||
            item == nullptr) {
            continue;
        }
        ::SendMessageW(item, EM_SETREADONLY, TRUE, 0);
        ::EnableWindow(item, TRUE);
    }
}

// Assistive technology names a field, or a group of radio buttons, after the static text just
// before it in the order of the dialog's windows, which is the template's: each label is moved
// there. Tab stops keep their order, and groups their bounds, since every label starts a group.
void PutLabelsBeforeWhatTheyName(HWND window, const res::DialogTemplate& layout) {
    std::vector<HWND> children;  // in template order
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    if (children.size() != layout.controls.size()) {
        return;
    }
    for (std::size_t at = 0; at < children.size(); ++at) {
        const res::ControlTemplate& control = layout.controls[at];
        const bool named = control.kind == res::ControlKind::Edit ||
                           (control.kind == res::ControlKind::AutoRadioButton &&
                            (control.style & res::STYLE_GROUP) != 0);
        const res::ControlTemplate* label = named ? res::LabelOf(layout, control) : nullptr;
        if (label == nullptr) {
            continue;
        }
        const HWND before = ::GetWindow(children[at], GW_HWNDPREV);
        const HWND labelWindow = children[static_cast<std::size_t>(label - layout.controls.data())];
        if (before != labelWindow) {
            ::SetWindowPos(labelWindow, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

// A tooltip for each control whose text says little (the "*" and "…" buttons): the template's
// description, shown while the pointer rests on the control. The tooltip window is owned by the
// dialog and goes with it.
void AddTooltips(HWND window, const res::DialogTemplate& layout) {
    HWND tooltip = nullptr;
    for (const res::ControlTemplate& control : layout.controls) {
        const HWND item = ::GetDlgItem(window, control.id);
        if (control.description.empty() || item == nullptr) {
            continue;
        }
        if (tooltip == nullptr) {
            tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                                        nullptr, ::GetModuleHandleW(nullptr), nullptr);
        }
        std::wstring text = trellan::WindowTextToWide(control.description);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(item);
        tool.lpszText = text.data();  // copied by the tooltip
        ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace

void SetUpWindow(HWND window, const res::DialogTemplate& layout) {
    CentreOverOwner(window);
    ShowDisabledFieldsReadOnly(window, layout);
    PutLabelsBeforeWhatTheyName(window, layout);
    AddTooltips(window, layout);
}

}  // namespace dlg::win32
