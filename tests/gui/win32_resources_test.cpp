// The resources compiled into the program, read back as the platform reads them and compared,
// field by field, with the data in res/ they were generated from.
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "settings/wide_text.h"
#include "settings/windows_api.h"

#include "res/dialog_template.h"
#include "res/resource_ids.h"

namespace {

using Words = std::vector<std::uint32_t>;

// What is expected of words, as they are stored: unsigned and, for 16 bits, zero-extended.
template <typename... Values>
Words Expected(Values... values) {
    return {static_cast<std::uint32_t>(values)...};
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

const std::uint8_t* Resource(int id, const char* type) {
    return static_cast<const std::uint8_t*>(::LockResource(
        ::LoadResource(nullptr, ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), type))));
}

// Per res::ControlKind, in its order: the atom of the window class, and the style bits it adds.
constexpr std::pair<std::uint32_t, std::uint32_t> KINDS[] = {
    {0x81, 0}, {0x80, 0},       {0x80, BS_DEFPUSHBUTTON}, {0x80, BS_AUTORADIOBUTTON},
    {0x82, 0}, {0x82, SS_ICON}, {0x80, BS_GROUPBOX},      {0x80, BS_AUTOCHECKBOX}};

class DialogResource : public testing::TestWithParam<const res::DialogTemplate*> {};

// An extended template (DLGTEMPLATEEX and DLGITEMTEMPLATEEX): no menu, the dialog manager's own
// class, the font at normal weight, not italic, in the default character set; each control of a
// predefined class, its title a text or, for the icon, the icon's number, without creation data.
TEST_P(DialogResource, IsTheTemplateOfRes) {
    const res::DialogTemplate& dialog = *GetParam();
    const std::uint8_t* data = Resource(dialog.id, RT_DIALOG);
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
