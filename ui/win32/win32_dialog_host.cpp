#include "ui/win32/win32_dialog_host.h"

#include <algorithm>
#include <string>
#include <vector>

#include "settings/wide_text.h"

#include "res/control_names.h"
#include "res/version.h"

#include "ui/win32/common_controls.h"
#include "ui/win32/win32_resources.h"

namespace dlg {

std::unique_ptr<DialogHost> CreateDialogHost(CDialog& dialog, const res::DialogTemplate& layout) {
    return std::make_unique<win32::Win32DialogHost>(dialog, layout);
}

namespace win32 {
namespace {

// The messages the dialog layer's message maps may handle; every other one is the dialog
// manager's alone.
bool ForTheDialogLayer(UINT message) {
    switch (message) {
        case WM_COMMAND:
        case WM_SYSCOMMAND:
        case WM_PAINT:
        case WM_QUERYDRAGICON:
        case WM_CLOSE:
            return true;
        default:
            return false;
    }
}

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

Win32DialogHost::Win32DialogHost(CDialog& dialog, const res::DialogTemplate& layout)
    : m_dialog(dialog), m_layout(layout) {}

int Win32DialogHost::RunModal() {
    // The owner takes no input until the dialog ends.
    const auto* ownerHost = static_cast<const Win32DialogHost*>(m_dialog.OwnerHost());
    const HWND owner = ownerHost != nullptr ? ownerHost->m_window : nullptr;
    const INT_PTR result =
        ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_layout.id), owner,
                          &Win32DialogHost::DialogProc, reinterpret_cast<LPARAM>(this));
    m_window = nullptr;
    return static_cast<int>(result);
}

INT_PTR CALLBACK Win32DialogHost::DialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* host = reinterpret_cast<Win32DialogHost*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        return host->InitDialog(window);
    }
    auto* host = reinterpret_cast<Win32DialogHost*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (host == nullptr || !ForTheDialogLayer(message)) {
        return FALSE;
    }
    return host->Dispatch(message, wParam, lParam);
}

// The dialog layer sets the focus itself when the dialog asks for it, so the dialog manager is
// told not to.
INT_PTR Win32DialogHost::InitDialog(HWND window) {
    m_window = window;
    CentreOverOwner(window);
    ShowDisabledFieldsReadOnly(window, m_layout);
    PutLabelsBeforeWhatTheyName(window, m_layout);
    AddTooltips(window, m_layout);
    m_dialog.HandleInitDialog();
    return FALSE;
}

INT_PTR Win32DialogHost::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool outer = m_defaultWanted;
    m_defaultWanted = false;
    const LResult result = m_dialog.WindowProc(message, wParam, static_cast<LParam>(lParam));
    const bool toDialogManager = m_defaultWanted;  // set by DefaultProcessing, from a handler
    m_defaultWanted = outer;
    // cppcheck-suppress knownConditionTrueFalse
    if (toDialogManager) {
        return FALSE;
    }
    // The dragged icon is the procedure's own return value; any other result goes in the
    // window's message result.
    if (message == WM_QUERYDRAGICON) {
        return result;
    }
    ::SetWindowLongPtrW(m_window, DWLP_MSGRESULT, result);
    return TRUE;
}

// Default processing is the dialog manager's, once the dialog procedure returns.
LResult Win32DialogHost::DefaultProcessing(unsigned /*message*/, WParam /*wParam*/,
                                           LParam /*lParam*/) {
    m_defaultWanted = true;
    return 0;
}

void Win32DialogHost::EndDialog(int result) {
    ::EndDialog(m_window, result);
}

HWND Win32DialogHost::Item(int id) const {
    return ::GetDlgItem(m_window, id);
}

std::string Win32DialogHost::GetItemText(int id) const {
    const HWND item = Item(id);
    if (item == nullptr) {
        return {};
    }
    const int length = ::GetWindowTextLengthW(item);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT copied = ::GetDlgItemTextW(m_window, id, text.data(), length + 1);
    text.resize(copied);
    return trellan::WindowTextToUtf8(text);
}

void Win32DialogHost::SetItemText(int id, std::string_view text) {
    ::SetDlgItemTextW(m_window, id, trellan::WindowTextToWide(text).c_str());
}

bool Win32DialogHost::IsItemChecked(int id) const {
    return ::IsDlgButtonChecked(m_window, id) == BST_CHECKED;
}

void Win32DialogHost::SetItemChecked(int id, bool checked) {
    ::CheckDlgButton(m_window, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Win32DialogHost::EnableItem(int id, bool enabled) {
    ::EnableWindow(Item(id), enabled ? TRUE : FALSE);
}

// The dialog manager's way to move the focus: a field gets its whole text selected.
void Win32DialogHost::FocusItem(int id) {
    const HWND item = Item(id);
    if (item != nullptr) {
        ::SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    }
}

void Win32DialogHost::ShowMessage(std::string_view text) {
    ::MessageBoxW(m_window, trellan::WindowTextToWide(text).c_str(),
                  trellan::WindowTextToWide(TRELLAN_PRODUCT_NAME).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

CMenu* Win32DialogHost::GetSystemMenu() {
    const HMENU menu = ::GetSystemMenu(m_window, FALSE);
    if (menu == nullptr) {
        return nullptr;
    }
    m_systemMenu.emplace(menu);
    return &*m_systemMenu;
}

void Win32DialogHost::SetIcon(HIcon icon, bool big) {
    HICON native = NativeIcon(icon);
    if (!big && native != nullptr) {
        // The title bar's icon from the resource's own small image, not the large one shrunk.
        m_smallIcon.reset(
            static_cast<HICON>(::CopyImage(native, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), LR_COPYFROMRESOURCE)));
        if (m_smallIcon != nullptr) {
            native = m_smallIcon.get();
        }
    }
    ::SendMessageW(m_window, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                   reinterpret_cast<LPARAM>(native));
}

bool Win32DialogHost::IsIconic() const {
    return ::IsIconic(m_window) != FALSE;
}

Rect Win32DialogHost::GetClientRect() const {
    RECT client{};
    ::GetClientRect(m_window, &client);
    return {client.left, client.top, client.right, client.bottom};
}

LResult Win32DialogHost::SendMessageToWindow(unsigned message, WParam wParam, LParam lParam) {
    return ::SendMessageW(m_window, message, wParam, lParam);
}

WParam Win32DialogHost::BeginPaint() {
    m_paintDc = ::BeginPaint(m_window, &m_paint);
    return reinterpret_cast<WParam>(m_paintDc);
}

void Win32DialogHost::DrawIcon(int x, int y, HIcon icon) {
    if (m_paintDc != nullptr) {
        ::DrawIcon(m_paintDc, x, y, NativeIcon(icon));
    }
}

void Win32DialogHost::EndPaint() {
    ::EndPaint(m_window, &m_paint);
    m_paintDc = nullptr;
}

}  // namespace win32
}  // namespace dlg
