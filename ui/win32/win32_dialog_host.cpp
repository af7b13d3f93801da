#include "ui/win32/win32_dialog_host.h"

#include <string>

#include "settings/wide_text.h"

#include "res/version.h"

#include "ui/win32/win32_resources.h"
#include "ui/win32/win32_window_setup.h"

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
    SetUpWindow(window, m_layout);
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
