// The resources compiled into the program, read back as the platform reads them and compared,
// bit for bit, with the data in res/ they were generated from.
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "res/app_icon.h"
#include "res/dialog_template.h"
#include "res/resource_ids.h"
#include "res/strings.h"

#include "ui/win32/wide_text.h"
#include "ui/win32/windows_api.h"

namespace {

// A reader of the words of a resource, in the platform's little-endian layout.
class Reader {
  public:
    explicit Reader(const std::uint8_t* data) : m_data(data) {}

    std::uint16_t Word() {
        std::uint16_t value = 0;
        std::memcpy(&value, m_data + m_at, sizeof(value));
        m_at += sizeof(value);
        return value;
    }
    std::uint32_t DoubleWord() {
        const std::uint32_t low = Word();
        return low | (static_cast<std::uint32_t>(Word()) << 16);
    }
    std::uint8_t Byte() { return m_data[m_at++]; }
    // A zero-terminated UTF-16 text, in UTF-8.
    std::string Text() {
        std::wstring text;
        for (std::uint16_t c = Word(); c != 0; c = Word()) {
            text.push_back(static_cast<wchar_t>(c));
        }
        return dlg::win32::ToUtf8(text);
    }
    // A name or a number: 0xFFFF followed by the number, else a text ("#n" for a number).
    std::string NameOrNumber() {
        const std::uint16_t first = Word();
        if (first == 0xFFFF) {
            return "#" + std::to_string(Word());
        }
        m_at -= 2;
        return Text();
    }
    void AlignToDoubleWord() { m_at = (m_at + 3) & ~std::size_t{3}; }

  private:
    const std::uint8_t* m_data;
    std::size_t m_at = 0;
};

const std::uint8_t* Resource(int id, const wchar_t* type, DWORD* size = nullptr) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) {
        return nullptr;
    }
    if (size != nullptr) {
        *size = ::SizeofResource(module, found);
    }
    return static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, found)));
}

constexpr std::uint32_t CHILD_VISIBLE = WS_CHILD | WS_VISIBLE;

std::uint32_t KindStyle(res::ControlKind kind) {
    switch (kind) {
        case res::ControlKind::DefaultPushButton:
            return BS_DEFPUSHBUTTON;
        case res::ControlKind::AutoRadioButton:
            return BS_AUTORADIOBUTTON;
        case res::ControlKind::GroupBox:
            return BS_GROUPBOX;
        case res::ControlKind::Icon:
            return SS_ICON;
        default:
            return 0;
    }
}

std::string ClassOf(res::ControlKind kind) {
    switch (kind) {
        case res::ControlKind::Edit:
            return "#129";
        case res::ControlKind::Text:
        case res::ControlKind::Icon:
            return "#130";
        default:
            return "#128";
    }
}

class DialogResource : public testing::TestWithParam<const res::DialogTemplate*> {};

TEST_P(DialogResource, IsTheTemplateOfRes) {
    const res::DialogTemplate& expected = *GetParam();
    const std::uint8_t* data = Resource(expected.id, MAKEINTRESOURCEW(5));  // RT_DIALOG
    ASSERT_NE(data, nullptr);
    Reader in(data);
    EXPECT_EQ(in.Word(), 1);       // an extended template
    EXPECT_EQ(in.Word(), 0xFFFF);  // its signature
    EXPECT_EQ(in.DoubleWord(), 0U);
    EXPECT_EQ(in.DoubleWord(), expected.exStyle);
    EXPECT_EQ(in.DoubleWord(), expected.style);
    const std::uint16_t count = in.Word();
    ASSERT_EQ(count, expected.controls.size());
    EXPECT_EQ(static_cast<std::int16_t>(in.Word()), 0);
    EXPECT_EQ(static_cast<std::int16_t>(in.Word()), 0);
    EXPECT_EQ(in.Word(), expected.cx);
    EXPECT_EQ(in.Word(), expected.cy);
    EXPECT_EQ(in.NameOrNumber(), "");  // no menu
    EXPECT_EQ(in.NameOrNumber(), "");  // the dialog manager's own class
    EXPECT_EQ(in.Text(), expected.caption);
    EXPECT_EQ(in.Word(), expected.pointSize);
    EXPECT_EQ(in.Word(), 0);  // normal weight
    EXPECT_EQ(in.Byte(), 0);  // not italic
    EXPECT_EQ(in.Byte(), DEFAULT_CHARSET);
    EXPECT_EQ(in.Text(), expected.fontName);
    for (const res::ControlTemplate& control : expected.controls) {
        SCOPED_TRACE(std::string(control.idName) + " " + std::string(control.text));
        in.AlignToDoubleWord();
        EXPECT_EQ(in.DoubleWord(), 0U);  // help context
        EXPECT_EQ(in.DoubleWord(), 0U);  // extended style
        EXPECT_EQ(in.DoubleWord(), CHILD_VISIBLE | KindStyle(control.kind) | control.style);
        EXPECT_EQ(static_cast<std::int16_t>(in.Word()), control.x);
        EXPECT_EQ(static_cast<std::int16_t>(in.Word()), control.y);
        EXPECT_EQ(static_cast<std::int16_t>(in.Word()), control.cx);
        EXPECT_EQ(static_cast<std::int16_t>(in.Word()), control.cy);
        EXPECT_EQ(static_cast<std::int32_t>(in.DoubleWord()), control.id);
        EXPECT_EQ(in.NameOrNumber(), ClassOf(control.kind));
        const std::string text = control.kind == res::ControlKind::Icon
                                     ? "#" + std::to_string(res::IDR_MAINFRAME)
                                     : std::string(control.text);
        EXPECT_EQ(in.NameOrNumber(), text);
        EXPECT_EQ(in.Word(), 0);  // no creation data
    }
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, DialogResource,
                         testing::ValuesIn(res::AllDialogTemplates().begin(),
                                           res::AllDialogTemplates().end()),
                         [](const testing::TestParamInfo<const res::DialogTemplate*>& param) {
                             return std::string(param.param->idName);
                         });

TEST(StringResource, HoldsTheAboutItem) {
    std::wstring text(64, L'\0');
    text.resize(static_cast<std::size_t>(
        ::LoadStringW(::GetModuleHandleW(nullptr), res::IDS_ABOUTBOX, text.data(), 64)));
    EXPECT_EQ(dlg::win32::ToUtf8(text), res::LoadResourceString(res::IDS_ABOUTBOX));
}

#pragma pack(push, 2)
struct IconGroupEntry {
    std::uint8_t width, height, colours, reserved;
    std::uint16_t planes, bitCount;
    std::uint32_t bytes;
    std::uint16_t id;
};
#pragma pack(pop)

// The icon group IDR_MAINFRAME: one image of 32 x 32 pixels, 24 bits each.
IconGroupEntry OnlyIconOfTheGroup() {
    IconGroupEntry entry{};
    const std::uint8_t* group = Resource(res::IDR_MAINFRAME, MAKEINTRESOURCEW(14));  // group
    if (group == nullptr) {
        ADD_FAILURE() << "no icon group";
        return entry;
    }
    Reader in(group);
    EXPECT_EQ(in.Word(), 0);
    EXPECT_EQ(in.Word(), 1);  // icons
    EXPECT_EQ(in.Word(), 1);  // one image
    std::memcpy(&entry, group + 6, sizeof(entry));
    return entry;
}

TEST(IconResource, IsOne32By32ImageOf24Bits) {
    const IconGroupEntry entry = OnlyIconOfTheGroup();
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.height, 32);
    EXPECT_EQ(entry.bitCount, 24);
    DWORD size = 0;
    const std::uint8_t* image = Resource(entry.id, MAKEINTRESOURCEW(3), &size);  // RT_ICON
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(size, entry.bytes);
    BITMAPINFOHEADER header{};
    std::memcpy(&header, image, sizeof(header));
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64);  // colours and mask
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(size, sizeof(header) + 32 * 32 * 3 + 32 * 4);
}

// Every pixel: the mask shows the background exactly where res/ has a transparent pixel, and
// elsewhere the colour is res/'s.
TEST(IconResource, PixelsAndMaskAreThoseOfRes) {
    const std::uint8_t* image = Resource(OnlyIconOfTheGroup().id, MAKEINTRESOURCEW(3));
    ASSERT_NE(image, nullptr);
    const std::uint8_t* colours = image + sizeof(BITMAPINFOHEADER);
    const std::uint8_t* mask = colours + 32 * 32 * 3;
    const auto pixels = res::AppIconPixels();
    for (std::size_t y = 0; y < 32; ++y) {
        const std::size_t row = 31 - y;  // bottom-up
        for (std::size_t x = 0; x < 32; ++x) {
            const std::uint32_t pixel = pixels[y * 32 + x];
            const bool transparent = (pixel >> 24) == 0;
            const bool masked = ((mask[row * 4 + x / 8] >> (7 - x % 8)) & 1U) != 0;
            ASSERT_EQ(masked, transparent) << x << "," << y;
            const std::uint8_t* bgr = colours + row * 96 + x * 3;
            const std::uint32_t colour = transparent ? 0U : (pixel & 0xFFFFFFU);
            ASSERT_EQ(static_cast<std::uint32_t>(bgr[0] | (bgr[1] << 8) | (bgr[2] << 16)), colour)
                << x << "," << y;
        }
    }
}

}  // namespace
