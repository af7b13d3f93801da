#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Dialog templates as data, in dialog units, with the styles the platform's dialog manager
// knows. Both window backends build their windows from these, and the Windows resource script
// is generated from them, so there is one copy of every layout.
namespace res {

// Window style bits, with the platform's values so templates translate one to one.
enum Style : std::uint32_t {
    STYLE_POPUP = 0x80000000,
    STYLE_VISIBLE = 0x10000000,
    STYLE_DISABLED = 0x08000000,
    STYLE_CAPTION = 0x00C00000,
    STYLE_BORDER = 0x00800000,
    STYLE_SYSMENU = 0x00080000,
    STYLE_GROUP = 0x00020000,
    STYLE_TABSTOP = 0x00010000,
    STYLE_MODALFRAME = 0x00000080,  // dialog style
    STYLE_SETFONT = 0x00000040,     // dialog style
    STYLE_EDIT_AUTOHSCROLL = 0x00000080,
    STYLE_STATIC_NOPREFIX = 0x00000080,
    STYLE_STATIC_RIGHT = 0x00000002,
    STYLE_BUTTON_FLAT = 0x00008000,
};

inline constexpr std::uint32_t EXSTYLE_APPWINDOW = 0x00040000;

enum class ControlKind {
    Edit,
    PushButton,
    DefaultPushButton,
    AutoRadioButton,
    Text,  // static text
    Icon,  // static icon
    GroupBox,
    AutoCheckBox,
};

struct ControlTemplate {
    ControlKind kind;
    int id;
    std::string_view idName;               // the identifier's name, empty for IDC_STATIC
    std::string_view text;                 // for an icon: the icon resource's name
    int x, y, cx, cy;                      // dialog units
    std::uint32_t style;                   // Style bits beyond those of the kind
    std::string_view description = {};     // for assistive technology, where the text says little
    std::string_view accessibleName = {};  // for a button whose text is only a symbol
};

struct DialogTemplate {
    int id;
    std::string_view idName;
    std::string_view caption;
    int cx, cy;  // client area, dialog units
    std::string_view fontName;
    int pointSize;
    std::uint32_t style;
    std::uint32_t exStyle;
    std::span<const ControlTemplate> controls;  // template order, which is the tab order
};

// The template with the given IDD_ identifier; nullptr when there is none.
const DialogTemplate* FindDialogTemplate(int id);

// All templates, for the resource script.
std::span<const DialogTemplate* const> AllDialogTemplates();

}  // namespace res
