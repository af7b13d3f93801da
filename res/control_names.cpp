#include "res/control_names.h"

#include <array>
#include <cstdlib>

#include "res/resource_ids.h"

namespace res {
namespace {

constexpr char32_t FULL_WIDTH_COLON = 0xFF1A;
constexpr char32_t IDEOGRAPHIC_SPACE = 0x3000;
constexpr char32_t REPLACEMENT = 0xFFFD;
// From here up, characters are CJK (radicals, kana, ideographs, full-width forms): a blank
// between two of them is spacing, not a word break.
constexpr char32_t FIRST_WIDE = 0x2E80;
// A label stands on a field's row when their tops are this close, in dialog units.
constexpr int SAME_ROW = 4;

bool IsWide(char32_t c) {
    return c >= FIRST_WIDE;
}

bool IsBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == IDEOGRAPHIC_SPACE;
}

// The code points of UTF-8 text; a byte that starts no valid sequence stands for U+FFFD.
std::u32string Decode(std::string_view text) {
    std::u32string decoded;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t c = length == 1 ? lead : lead & (0x7FU >> length);
        bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4);
        for (std::size_t i = 1; valid && i < length; ++i) {
            const auto next = at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0U;
            valid = (next & 0xC0U) == 0x80U;
            c = (c << 6U) | (next & 0x3FU);
        }
        decoded.push_back(valid ? c : REPLACEMENT);
        at += valid ? length : 1;
    }
    return decoded;
}

std::string Encode(std::u32string_view text) {
    std::string encoded;
    for (const char32_t c : text) {
        if (c < 0x80) {
            encoded.push_back(static_cast<char>(c));
            continue;
        }
        constexpr std::array<char32_t, 5> LEAD{0, 0, 0xC0, 0xE0, 0xF0};  // by length
        const std::size_t length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        encoded.push_back(static_cast<char>(LEAD[length] | (c >> (6 * (length - 1)))));
        for (std::size_t i = length - 1; i-- > 0;) {
            encoded.push_back(static_cast<char>(0x80U | ((c >> (6 * i)) & 0x3FU)));
        }
    }
    return encoded;
}

std::u32string WithoutMnemonic(std::u32string_view text) {
    std::u32string plain;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == U'&' && at + 1 < text.size()) {
            ++at;  // "&&" is a literal ampersand; "&x" marks x
        }
        if (text[at] != FULL_WIDTH_COLON) {
            plain.push_back(text[at]);
        }
    }
    return plain;
}

}  // namespace

std::string NameFromText(std::string_view text) {
    const std::u32string source = WithoutMnemonic(Decode(text));
    std::u32string name;
    for (std::size_t at = 0; at < source.size(); ++at) {
        if (!IsBlank(source[at])) {
            name.push_back(source[at]);
            continue;
        }
        std::size_t next = at;
        while (next < source.size() && IsBlank(source[next])) {
            ++next;
        }
        // Blanks at either end go, and so do blanks that only spread wide characters apart.
        const bool spacing =
            name.empty() || next == source.size() || (IsWide(name.back()) && IsWide(source[next]));
        if (!spacing) {
            name.append(source, at, next - at);
        }
        at = next - 1;
    }
    return Encode(name);
}

const ControlTemplate* LabelOf(const DialogTemplate& dialog, const ControlTemplate& field) {
    const ControlTemplate* label = nullptr;
    for (const ControlTemplate& candidate : dialog.controls) {
        if (candidate.kind == ControlKind::Text && (candidate.style & STYLE_STATIC_RIGHT) == 0 &&
            candidate.x < field.x && std::abs(candidate.y - field.y) <= SAME_ROW &&
            (label == nullptr || candidate.x > label->x)) {
            label = &candidate;
        }
    }
    return label;
}

std::string FigureName(const DialogTemplate& dialog, const ControlTemplate& figure) {
    const ControlTemplate* label = LabelOf(dialog, figure);
    if (figure.kind != ControlKind::Text || figure.id == IDC_STATIC ||
        (figure.style & STYLE_STATIC_RIGHT) == 0 || label == nullptr) {
        return {};
    }
    std::string name = NameFromText(label->text);
    // The heading stands above, as wide as the column.
    for (const ControlTemplate& heading : dialog.controls) {
        if (heading.kind == ControlKind::Text && heading.id == IDC_STATIC &&
            heading.x == figure.x && heading.cx == figure.cx && heading.y < figure.y) {
            name += ' ' + NameFromText(heading.text);
        }
    }
    return name;
}

std::string FieldName(const DialogTemplate& dialog, int id) {
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == id) {
            const ControlTemplate* label = LabelOf(dialog, control);
            return label != nullptr ? NameFromText(label->text) : std::string();
        }
    }
    return {};
}

}  // namespace res
