#include "resource_script.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "res/dialog_template.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "res/version.h"

namespace rcgen {
namespace {

#define TRELLAN_TEXT_OF(...) #__VA_ARGS__
#define TRELLAN_TEXT(...) TRELLAN_TEXT_OF(__VA_ARGS__)

constexpr std::uint32_t WINDOW_CHILD = 0x40000000;
constexpr std::uint32_t WINDOW_VISIBLE = 0x10000000;
// The classes the dialog manager knows by number.
constexpr int CLASS_BUTTON = 0x80;
constexpr int CLASS_EDIT = 0x81;
constexpr int CLASS_STATIC = 0x82;
constexpr std::uint32_t BUTTON_DEFAULT = 0x1;
constexpr std::uint32_t BUTTON_AUTO_RADIO = 0x9;
constexpr std::uint32_t BUTTON_AUTO_CHECK_BOX = 0x3;
constexpr std::uint32_t BUTTON_GROUP_BOX = 0x7;
constexpr std::uint32_t STATIC_ICON = 0x3;

struct NamedId {
    int id;
    std::string_view name;
};

constexpr std::array STRINGS{NamedId{res::IDS_ABOUTBOX, "IDS_ABOUTBOX"},
                             NamedId{res::IDS_DETAILS, "IDS_DETAILS"}};
constexpr std::array OTHER_IDS{NamedId{res::IDR_MAINFRAME, "IDR_MAINFRAME"},
                               NamedId{res::IDC_STATIC, "IDC_STATIC"}};

std::string Hex(std::uint32_t value) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "0x%08X", static_cast<unsigned>(value));
    return text.data();
}

// A string literal of the script, in UTF-8 as the code page pragma says.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') {
            quoted += "\"\"";
        } else if (c == '\\') {
            quoted += "\\\\";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string Define(std::string_view name, int id) {
    return "#define " + std::string(name) + " " + std::to_string(id) + "\n";
}

std::string Defines() {
    std::string out;
    for (const NamedId& named : OTHER_IDS) {
        out += Define(named.name, named.id);
    }
    for (const NamedId& named : STRINGS) {
        out += Define(named.name, named.id);
    }
    for (const res::DialogTemplate* dialog : res::AllDialogTemplates()) {
        out += Define(dialog->idName, dialog->id);
        for (const res::ControlTemplate& control : dialog->controls) {
            // IDOK and IDCANCEL are the dialog manager's own.
            if (!control.idName.empty() && control.id != res::ID_OK &&
                control.id != res::ID_CANCEL) {
                out += Define(control.idName, control.id);
            }
        }
    }
    return out + Define("IDOK", res::ID_OK) + Define("IDCANCEL", res::ID_CANCEL);
}

int ClassOf(res::ControlKind kind) {
    switch (kind) {
        case res::ControlKind::Edit:
            return CLASS_EDIT;
        case res::ControlKind::Text:
        case res::ControlKind::Icon:
            return CLASS_STATIC;
        default:
            return CLASS_BUTTON;
    }
}

std::uint32_t KindStyle(res::ControlKind kind) {
    switch (kind) {
        case res::ControlKind::DefaultPushButton:
            return BUTTON_DEFAULT;
        case res::ControlKind::AutoRadioButton:
            return BUTTON_AUTO_RADIO;
        case res::ControlKind::AutoCheckBox:
            return BUTTON_AUTO_CHECK_BOX;
        case res::ControlKind::GroupBox:
            return BUTTON_GROUP_BOX;
        case res::ControlKind::Icon:
            return STATIC_ICON;
        default:
            return 0;  // push button, left-aligned edit field and text
    }
}

std::string Control(const res::ControlTemplate& control) {
    // An icon's text names the icon resource, by number.
    const std::string text =
        control.kind == res::ControlKind::Icon ? std::string(control.text) : Quoted(control.text);
    const std::string id = control.idName.empty() ? "IDC_STATIC" : std::string(control.idName);
    const std::uint32_t style =
        WINDOW_CHILD | WINDOW_VISIBLE | KindStyle(control.kind) | control.style;
    return "    CONTROL " + text + ", " + id + ", " +
           Hex(static_cast<std::uint32_t>(ClassOf(control.kind))) + ", " + Hex(style) + ", " +
           std::to_string(control.x) + ", " + std::to_string(control.y) + ", " +
           std::to_string(control.cx) + ", " + std::to_string(control.cy) + "\n";
}

std::string Dialog(const res::DialogTemplate& dialog) {
    std::string out = std::string(dialog.idName) + " DIALOGEX 0, 0, " + std::to_string(dialog.cx) +
                      ", " + std::to_string(dialog.cy) + "\n";
    out += "STYLE " + Hex(dialog.style) + "\n";
    if (dialog.exStyle != 0) {
        out += "EXSTYLE " + Hex(dialog.exStyle) + "\n";
    }
    out += "CAPTION " + Quoted(dialog.caption) + "\n";
    // Weight 0 (normal), not italic, the default character set.
    out += "FONT " + std::to_string(dialog.pointSize) + ", " + Quoted(dialog.fontName) +
           ", 0, 0, 0x1\n";
    out += "BEGIN\n";
    for (const res::ControlTemplate& control : dialog.controls) {
        out += Control(control);
    }
    return out + "END\n\n";
}

std::string StringTable() {
    std::string out = "STRINGTABLE\nBEGIN\n";
    for (const NamedId& named : STRINGS) {
        out += "    " + std::string(named.name) + " " + Quoted(res::LoadResourceString(named.id)) +
               "\n";
    }
    return out + "END\n\n";
}

std::string Value(std::string_view name, std::string_view text) {
    return "            VALUE " + Quoted(name) + ", " + Quoted(text) + "\n";
}

// File and product version 0.1.2.0; strings in Chinese (PRC), UTF-16.
std::string VersionRecord(std::string_view originalFilename) {
    std::string out = "1 VERSIONINFO\n";
    out += " FILEVERSION " TRELLAN_TEXT(TRELLAN_FILE_VERSION) "\n";
    out += " PRODUCTVERSION " TRELLAN_TEXT(TRELLAN_FILE_VERSION) "\n";
    out += " FILEFLAGSMASK 0x3F\n FILEFLAGS 0x0\n";
    out += " FILEOS 0x4\n FILETYPE 0x1\n FILESUBTYPE 0x0\n";  // 32-bit Windows, an application
    out += "BEGIN\n    BLOCK \"StringFileInfo\"\n    BEGIN\n        BLOCK \"080404B0\"\n";
    out += "        BEGIN\n";
    // The program carries no web address of its maker: those fields stay empty.
    for (const std::string_view empty : {"Comments", "CompanyName"}) {
        out += Value(empty, "");
    }
    out += Value("FileDescription", TRELLAN_PRODUCT_NAME);
    out += Value("FileVersion", TRELLAN_TEXT(TRELLAN_FILE_VERSION));
    out += Value("InternalName", TRELLAN_PRODUCT_NAME);
    out += Value("LegalCopyright", TRELLAN_COPYRIGHT);
    out += Value("LegalTrademarks", "");
    out += Value("OriginalFilename", originalFilename);
    out += Value("PrivateBuild", "");
    out += Value("ProductName", TRELLAN_PRODUCT_NAME);
    out += Value("ProductVersion", TRELLAN_VERSION_TEXT);
    out += Value("SpecialBuild", "");
    out += "        END\n    END\n";
    out += "    BLOCK \"VarFileInfo\"\n    BEGIN\n        VALUE \"Translation\", 0x804, 1200\n";
    return out + "    END\nEND\n";
}

}  // namespace

std::string ResourceScript(std::string_view iconPath, std::string_view manifestPath,
                           std::string_view originalFilename) {
    std::string out =
        "// Generated from res/ by tools/rcgen; edit the data there, not this file.\n";
    out += "#pragma code_page(65001)\n\n";
    out += Defines() + "\n";
    // The application manifest: resource 1 of type RT_MANIFEST, in no language, as the loader
    // looks for it.
    out += "LANGUAGE 0, 0\n1 24 " + Quoted(manifestPath) + "\n\n";
    out += "LANGUAGE 4, 2 // Chinese (PRC)\n\n";
    out += "IDR_MAINFRAME ICON " + Quoted(iconPath) + "\n\n";
    for (const res::DialogTemplate* dialog : res::AllDialogTemplates()) {
        out += Dialog(*dialog);
    }
    out += StringTable();
    return out + VersionRecord(originalFilename);
}

}  // namespace rcgen
