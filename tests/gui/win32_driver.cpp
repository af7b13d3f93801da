// The shared scenarios' calls on USER32: the scenario's thread sends the dialogs the messages a
// user's input makes and reads what they show; the dialog manager of the test's thread handles
// them as it handles a user's. And what only this backend has: the window's icons, an owner
// that takes no input while its dialog is up, and the compiled resources.
#include <cstdint>
#include <cstdlib>

#include "settings/wide_text.h"
#include "settings/windows_api.h"

#include "res/app_icon.h"
#include "res/dialog_template.h"
#include "res/resource_ids.h"

#include "ui/profit_calc_dlg.h"
#include "ui/win32/common_controls.h"

#include "gui/window_driver.h"

namespace gui {
namespace {

constexpr int MESSAGE_TEXT = 0xFFFF;  // the static control of a message box

// Keys are posted, as the keyboard's come, and seen as the dialogs' thread takes them from its
// queue: a Shift+Tab has Shift held there (posted keys do not change the key state), and a mark
// posted after the keys is counted, so that the driver knows they were handled.
constexpr LPARAM SHIFTED = 1 << 25;  // a bit of a key's lParam that the keyboard leaves clear
constexpr UINT MARK = WM_APP + 0x3F0;
std::atomic<int> g_marks = 0;

LRESULT CALLBACK WatchQueue(int code, WPARAM removed, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == MARK) {
        ++g_marks;
    } else if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_KEYDOWN) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = static_cast<BYTE>((message->lParam & SHIFTED) != 0 ? 0x80 : 0);
        ::SetKeyboardState(keys);
    }
    return ::CallNextHookEx(nullptr, code, removed, lParam);
}

// Set up before main, on the thread that runs the tests and so the dialogs.
const DWORD g_guiThread = ::GetCurrentThreadId();
const HHOOK g_watch = ::SetWindowsHookExW(WH_GETMESSAGE, &WatchQueue, nullptr, g_guiThread);

HWND Handle(Window dialog) {
    return static_cast<HWND>(const_cast<void*>(dialog));
}

HWND Item(Window dialog, int id) {
    return ::GetDlgItem(Handle(dialog), id);
}

HWND Focus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(g_guiThread, &info) ? info.hwndFocus : nullptr;
}

// Whether the dialogs' thread has taken everything posted to it before now from its queue.
bool QueueHandled() {
    const int marks = g_marks;
    ::PostThreadMessageW(g_guiThread, MARK, 0, 0);
    return WaitUntil([marks] { return g_marks > marks; });
}

std::string WindowText(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return trellan::WindowTextToUtf8(text);
}

}  // namespace

// The topmost (an owner is enabled again before its message box is gone); once it answers, what
// was sent before is done.
Window ActiveDialog() {
    HWND dialog = nullptr;
    while ((dialog = ::FindWindowExW(nullptr, dialog, L"#32770", nullptr)) != nullptr &&
           (::GetWindowThreadProcessId(dialog, nullptr) != g_guiThread ||
            !::IsWindowVisible(dialog) || !::IsWindowEnabled(dialog))) {
    }
    ::SendMessageW(dialog, WM_NULL, 0, 0);
    return dialog;
}

namespace {
BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}
}  // namespace

int OpenWindows() {
    int open = 0;
    ::EnumThreadWindows(g_guiThread, &CountWindow, reinterpret_cast<LPARAM>(&open));
    return open;
}

void HandleEvents() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
    ::Sleep(10);
}

std::string AcceptMessage() {
    HWND box = nullptr;
    int quiet = 0;
    WaitUntil([&] {
        const HWND active = Handle(ActiveDialog());
        box = active != nullptr && ::GetDlgItem(active, MESSAGE_TEXT) != nullptr ? active : nullptr;
        quiet = box == nullptr && QueueHandled() ? quiet + 1 : 0;
        return box != nullptr || quiet == SETTLED;
    });
    if (box == nullptr) {
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

bool Checked(Window dialog, int id) {
    return ::SendMessageW(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(Window dialog, int id) {
    return ::IsWindowEnabled(Item(dialog, id)) != FALSE;
}

bool HasFocus(Window dialog, int id) {
    return Focus() == Item(dialog, id);
}

std::string SelectedText(Window dialog, int id) {
    const auto selection = static_cast<DWORD>(::SendMessageW(Item(dialog, id), EM_GETSEL, 0, 0));
    return Text(dialog, id).substr(LOWORD(selection), HIWORD(selection) - LOWORD(selection));
}

// The text the dialog's tooltip control holds for the control.
std::string Tooltip(Window dialog, int id) {
    HWND tooltip = nullptr;
    while ((tooltip = ::FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) != nullptr &&
           ::GetWindow(tooltip, GW_OWNER) != Handle(dialog)) {
    }
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Handle(dialog);
    tool.uId = reinterpret_cast<UINT_PTR>(Item(dialog, id));
    tool.lpszText = text;
    if (tooltip != nullptr) {
        ::SendMessageW(tooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    }
    return trellan::WindowTextToUtf8(text);
}

// As the control is painted, in the system's colours; its client area is inside its frame.
std::vector<std::vector<std::uint32_t>> Shots(Window dialog, int id) {
    const HWND control = Item(dialog, id);
    ::RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT box{};
    ::GetClientRect(control, &box);
    const HDC dc = ::GetDC(control);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < box.bottom; ++y) {
        for (int x = 0; x < box.right; ++x) {
            const COLORREF colour = ::GetPixel(dc, x, y);  // 0x00BBGGRR
            pixels.push_back(RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour)));
        }
    }
    ::ReleaseDC(control, dc);
    return {pixels};
}

namespace {

// The room a control draws its text in, as the dialog manager's controls lay themselves out: a
// static text its whole client area; a push button's text 2 pixels inside its frame, which a
// default button has a pixel wider, on one line centred in the height of the button, which
// clips it; a check box's or radio button's text right of its box (12 pixels at 96 DPI, and 1)
// and half a digit's width.
RECT TextRoom(HWND control, HDC dc, LONG_PTR style, bool button) {
    RECT room{};
    ::GetClientRect(control, &room);
    if (!button) {
        return room;
    }
    switch (style & BS_TYPEMASK) {
        case BS_DEFPUSHBUTTON:
            ::InflateRect(&room, -1, 0);
            [[fallthrough]];
        case BS_PUSHBUTTON:
            ::InflateRect(&room, -2, 0);
            break;
        default: {
            INT digit = 0;
            ::GetCharWidthW(dc, L'0', L'0', &digit);
            room.left += 12 * ::GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1 + digit / 2;
        }
    }
    return room;
}

}  // namespace

std::vector<TextFit> TextFits(Window dialog) {
    std::vector<TextFit> fits;
    for (HWND control = ::GetWindow(Handle(dialog), GW_CHILD); control != nullptr;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        ::GetClassNameW(control, className, 16);
        const bool button = ::lstrcmpiW(className, L"Button") == 0;
        const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
        const std::string text = WindowText(control);
        const bool kind =
            button ? (style & BS_TYPEMASK) != BS_GROUPBOX
                   : ::lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
        if (!kind || text.empty()) {
            continue;
        }
        const HDC dc = ::GetDC(control);
        const HGDIOBJ font = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        const RECT room = TextRoom(control, dc, style, button);
        // Static texts wrap at words, buttons are one line; a static text may show "&" as is.
        UINT format = DT_CALCRECT | DT_EXPANDTABS | (button ? DT_SINGLELINE : DT_WORDBREAK);
        if (!button && (style & SS_NOPREFIX) != 0) {
            format |= DT_NOPREFIX;
        }
        RECT laidOut{0, 0, room.right - room.left, 0};
        RECT line{};
        const std::wstring wide = trellan::WindowTextToWide(text);
        ::DrawTextW(dc, wide.c_str(), -1, &laidOut, format);
        ::DrawTextW(dc, wide.c_str(), -1, &line, (format & ~UINT{DT_WORDBREAK}) | DT_SINGLELINE);
        ::SelectObject(dc, font);
        ::ReleaseDC(control, dc);
        fits.push_back({text, laidOut.right, laidOut.bottom, room.right - room.left,
                        room.bottom - room.top, line.right});
    }
    return fits;
}

void Type(Window dialog, int id, std::string_view text) {
    const HWND field = Item(dialog, id);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    ::SendMessageW(field, WM_CHAR, VK_BACK, 1);
    for (const wchar_t c : trellan::WindowTextToWide(text)) {
        ::SendMessageW(field, WM_CHAR, c, 1);
    }
}

void Click(Window dialog, int id, bool later) {
    later ? ::PostMessageW(Item(dialog, id), BM_CLICK, 0, 0)
          : ::SendMessageW(Item(dialog, id), BM_CLICK, 0, 0);
}

void Focus(Window dialog, int id) {
    ::SendMessageW(Handle(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(dialog, id)), TRUE);
}

void Press(Key key, bool later) {
    constexpr WPARAM KEYS[] = {VK_RETURN, VK_ESCAPE, VK_RIGHT, VK_TAB, VK_SPACE, VK_LEFT, VK_TAB};
    const WPARAM code = KEYS[static_cast<int>(key)];
    const LPARAM shifted = key == Key::BackTab ? SHIFTED : 0;
    const HWND focus = Focus();
    const int marks = g_marks;
    ::PostMessageW(focus, WM_KEYDOWN, code, 1 | shifted);
    ::PostMessageW(focus, WM_KEYUP, code, static_cast<LPARAM>(0xC0000001U));
    ::PostThreadMessageW(g_guiThread, MARK, 0, 0);
    // Taken, or it closed the window it was pressed in (whose loop then takes no more).
    EXPECT_TRUE(later ||
                WaitUntil([marks, focus] { return g_marks > marks || !::IsWindow(focus); }))
        << "a key was not taken";
}

void CloseBoxLater(Window dialog) {
    ::PostMessageW(Handle(dialog), WM_CLOSE, 0, 0);
}

void SystemCommandLater(Window dialog, unsigned command) {
    ::PostMessageW(Handle(dialog), WM_SYSCOMMAND, command, 0);
}

namespace {

int IconWidth(LRESULT icon) {
    ICONINFO info{};
    ::GetIconInfo(reinterpret_cast<HICON>(icon), &info);
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// An icon's colour image, 0xAARRGGBB, top row first.
std::vector<std::uint32_t> IconPixels(HICON icon) {
    ICONINFO info{};
    ::GetIconInfo(icon, &info);
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = -bitmap.bmHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bitmap.bmWidth * bitmap.bmHeight));
    const HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(),
                &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return pixels;
}

// The screen's DPI as the run sets it (TRELLAN_SCREEN_DPI), 96 by default. The program draws
// at it: a program that let the system stretch it would be told 96 whatever the screen's.
int ScreenDpi() {
    const char* dpi = std::getenv("TRELLAN_SCREEN_DPI");
    return dpi != nullptr ? static_cast<int>(std::strtol(dpi, nullptr, 10)) : 96;
}

// The icon resource has an image for each size the desktop asks for, at the screen's DPI: the
// title bar takes the small one, not the large one shrunk.
TEST(Win32Calculator, ShowsItsIconAndIsDisabledUnderTheFeeRates) {
    const auto* group = static_cast<const BYTE*>(::LockResource(
        ::LoadResource(nullptr, ::FindResourceW(nullptr, MAKEINTRESOURCEW(res::IDR_MAINFRAME),
                                                MAKEINTRESOURCEW(14)))));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group[4], res::WINDOWS_ICON_SIZES.size());
    for (std::size_t i = 0; i < res::WINDOWS_ICON_SIZES.size(); ++i) {
        EXPECT_EQ(group[6 + 14 * i], res::WINDOWS_ICON_SIZES[i] & 0xFF);  // 256 is written 0
    }
    // The largest image, stored as PNG, is the drawing the system decodes.
    const auto large = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                       MAKEINTRESOURCEW(res::IDR_MAINFRAME),
                                                       IMAGE_ICON, 256, 256, LR_DEFAULTCOLOR));
    EXPECT_EQ(IconPixels(large), res::AppIconImage(256));
    ::DestroyIcon(large);
    CProfitCalcDlg calculator;
    RunDriven(calculator, [](Window dialog) {
        const auto icon = reinterpret_cast<LRESULT>(
            ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(res::IDR_MAINFRAME)));
        EXPECT_EQ(::SendMessageW(Handle(dialog), WM_GETICON, ICON_BIG, 0), icon);
        EXPECT_EQ(IconWidth(icon), 32 * ScreenDpi() / 96);
        EXPECT_EQ(IconWidth(::SendMessageW(Handle(dialog), WM_GETICON, ICON_SMALL, 0)),
                  16 * ScreenDpi() / 96);
        EXPECT_EQ(::SendMessageW(Handle(dialog), WM_QUERYDRAGICON, 0, 0), icon);
        Click(dialog, res::IDC_SETTINGS, true);
        ASSERT_NE(WaitForDialog(dialog), nullptr);
        EXPECT_FALSE(::IsWindowEnabled(Handle(dialog)));
    });
}

// Assistive technology names a field, or a radio group, after the static text just before it in
// the order of the dialog's windows: its label.
TEST(Win32Calculator, FieldsAndGroupsFollowTheirLabels) {
    CProfitCalcDlg calculator;
    RunDriven(calculator, [](Window dialog) {
        for (const auto& [id, label] : {std::pair{res::IDC_BUY_PRICE, "尺料价格："},
                                        std::pair{res::IDC_SELL_PRICE, "用 材 码："},
                                        std::pair{res::IDC_NET_PROFIT, "成    本："},
                                        std::pair{res::IDC_EXCHANGE_A, "证 交 所："}}) {
            EXPECT_EQ(WindowText(::GetWindow(Item(dialog, id), GW_HWNDPREV)), label);
        }
    });
}

// A setting of the process's activation context, as the system read it from the manifest.
std::wstring ManifestSetting(const wchar_t* schema, const wchar_t* name) {
    wchar_t value[64] = {};
    SIZE_T length = 0;
    ::QueryActCtxSettingsW(0, nullptr, schema, name, value, 64, &length);
    return value;
}

// The program runs as its application manifest (linked here with the program's resources) asks,
// as the system reads it: the common controls of version 6, from their side-by-side assembly;
// with the user's own rights; aware of each screen's DPI (per monitor, version 2, else the main
// screen's); written for Windows 7 to 11.
TEST(Win32Program, RunsAsItsManifestAsks) {
    wchar_t controls[MAX_PATH] = {};
    ::GetModuleFileNameW(::GetModuleHandleW(L"comctl32.dll"), controls, MAX_PATH);
    std::wstring path = ::CharLowerW(controls);
    // The assembly of the architecture the program was built for.
#ifdef _WIN64
    const wchar_t* const assembly = L"\\winsxs\\amd64_microsoft.windows.common-controls_";
#else
    const wchar_t* const assembly = L"\\winsxs\\x86_microsoft.windows.common-controls_";
#endif
    EXPECT_NE(path.find(std::wstring(assembly) + L"6595b64144ccf1df_6."), std::wstring::npos)
        << trellan::WindowTextToUtf8(path);
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    ASSERT_TRUE(::QueryActCtxW(0, nullptr, nullptr, RunlevelInformationInActivationContext, &level,
                               sizeof level, nullptr));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(
        ManifestSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
        L"true");
    EXPECT_EQ(
        ManifestSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
        L"PerMonitorV2, System");
    const HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);  // RT_MANIFEST
    const std::string_view manifest(
        static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
        ::SizeofResource(nullptr, found));
    for (const char* system :
         {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
          "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + system + "}\"/>"),
                  std::string_view::npos)
            << system;
    }
}

// Reads a resource's little-endian words, and its zero-terminated UTF-16 texts in UTF-8. Read in
// a braced list, several values are read in the order written.
struct Reader {
    const std::uint8_t* at;

    std::uint32_t Word() {
        at += 2;
        return static_cast<std::uint32_t>(at[-2] | (at[-1] << 8));
    }
    std::uint32_t DoubleWord() {
        const std::uint32_t low = Word();
        return low | (Word() << 16);
    }
    std::string Text() {
        const std::wstring text(reinterpret_cast<const wchar_t*>(at));  // resources are aligned
        at += (text.size() + 1) * sizeof(wchar_t);
        return trellan::WindowTextToUtf8(text);
    }
};

using Words = std::vector<std::uint32_t>;

// What is expected of words, as they are stored: unsigned and, for 16 bits, zero-extended.
template <typename... Values>
Words Expected(Values... values) {
    return {static_cast<std::uint32_t>(values)...};
}

// Per res::ControlKind, in its order: the atom of the window class, and the style bits it adds.
constexpr std::pair<std::uint32_t, std::uint32_t> KINDS[] = {
    {0x81, 0}, {0x80, 0},       {0x80, BS_DEFPUSHBUTTON}, {0x80, BS_AUTORADIOBUTTON},
    {0x82, 0}, {0x82, SS_ICON}, {0x80, BS_GROUPBOX},      {0x80, BS_AUTOCHECKBOX}};

class DialogResource : public testing::TestWithParam<const res::DialogTemplate*> {};

// The resources compiled into the program, read back as the platform reads them, are the
// templates of res/ they were generated from: extended templates (DLGTEMPLATEEX and
// DLGITEMTEMPLATEEX) with no menu, the dialog manager's own class, the font at normal weight, not
// italic, in the default character set; each control of a predefined class, its title a text or,
// for the icon, the icon's number, without creation data.
TEST_P(DialogResource, IsTheTemplateOfRes) {
    const res::DialogTemplate& dialog = *GetParam();
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(
        ::LoadResource(nullptr, ::FindResourceA(nullptr, MAKEINTRESOURCEA(dialog.id), RT_DIALOG))));
    ASSERT_NE(data, nullptr);
    Reader in{data};
    EXPECT_EQ((Words{in.Word(), in.Word(), in.DoubleWord(), in.DoubleWord(), in.DoubleWord(),
                     in.Word(), in.Word(), in.Word(), in.Word(), in.Word(), in.Word(), in.Word()}),
              Expected(1, 0xFFFF, 0, dialog.exStyle, dialog.style, dialog.controls.size(), 0, 0,
                       dialog.cx, dialog.cy, 0, 0));
    EXPECT_EQ(in.Text(), dialog.caption);
    EXPECT_EQ((Words{in.Word(), in.Word(), in.Word()}),
              Expected(dialog.pointSize, 0, DEFAULT_CHARSET << 8));
    EXPECT_EQ(in.Text(), dialog.fontName);
    for (const res::ControlTemplate& control : dialog.controls) {
        in.at = data + ((in.at - data + 3) & ~3);  // each control starts on a double word
        const auto [atom, kindStyle] = KINDS[static_cast<int>(control.kind)];
        EXPECT_EQ((Words{in.DoubleWord(), in.DoubleWord(), in.DoubleWord(), in.Word(), in.Word(),
                         in.Word(), in.Word(), in.DoubleWord(), in.Word(), in.Word()}),
                  Expected(0, 0, WS_CHILD | WS_VISIBLE | kindStyle | control.style, control.x,
                           control.y, control.cx, control.cy, control.id, 0xFFFF, atom))
            << control.idName << control.text;
        if (control.kind == res::ControlKind::Icon) {
            EXPECT_EQ((Words{in.Word(), in.Word()}), Expected(0xFFFF, res::IDR_MAINFRAME));
        } else {
            EXPECT_EQ(in.Text(), control.text);
        }
        EXPECT_EQ(in.Word(), 0U);  // no creation data
    }
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, DialogResource,
                         testing::ValuesIn(res::AllDialogTemplates().begin(),
                                           res::AllDialogTemplates().end()),
                         [](const auto& param) { return std::string(param.param->idName); });

}  // namespace
}  // namespace gui
