#include "settings/profile_encoding.h"

#include <cstdint>

namespace trellan {
namespace {

constexpr std::string_view LE_MARK = "\xFF\xFE";
constexpr std::string_view BE_MARK = "\xFE\xFF";
constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";

bool IsHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::uint32_t UnitAt(std::string_view bytes, std::size_t at, ProfileEncoding encoding) {
    const std::uint32_t first = static_cast<unsigned char>(bytes[at]);
    const std::uint32_t second = static_cast<unsigned char>(bytes[at + 1]);
    return encoding == ProfileEncoding::Utf16Le ? first | (second << 8U) : (first << 8U) | second;
}

void AppendUnit(std::string& bytes, std::uint32_t unit, ProfileEncoding encoding) {
    const auto high = static_cast<char>(unit >> 8U);
    const auto low = static_cast<char>(unit & 0xFFU);
    bytes += encoding == ProfileEncoding::Utf16Le ? low : high;
    bytes += encoding == ProfileEncoding::Utf16Le ? high : low;
}

void AppendUtf8(std::string& text, std::uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6U));
        text += static_cast<char>(0x80 | (code & 0x3FU));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12U));
        text += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
        text += static_cast<char>(0x80 | (code & 0x3FU));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18U));
        text += static_cast<char>(0x80 | ((code >> 12U) & 0x3FU));
        text += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
        text += static_cast<char>(0x80 | (code & 0x3FU));
    }
}

// The code point of the UTF-8 sequence at text[at], and its length. The text comes from
// DecodeProfileFile and ASCII of ours; a byte that starts no sequence stands for itself.
std::uint32_t CodeAt(std::string_view text, std::size_t at, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || at + length > text.size()) {
        length = 1;
        return lead;
    }
    std::uint32_t code = lead & (0x7FU >> length);
    for (std::size_t i = 1; i < length; ++i) {
        code = (code << 6U) | (static_cast<unsigned char>(text[at + i]) & 0x3FU);
    }
    return code;
}

}  // namespace

ProfileEncoding EncodingOf(std::string_view bytes) {
    if (bytes.starts_with(LE_MARK)) {
        return ProfileEncoding::Utf16Le;
    }
    if (bytes.starts_with(BE_MARK)) {
        return ProfileEncoding::Utf16Be;
    }
    return bytes.starts_with(UTF8_MARK) ? ProfileEncoding::Utf8WithMark : ProfileEncoding::Bytes;
}

ProfileFileText DecodeProfileFile(std::string_view bytes) {
    ProfileFileText file;
    file.encoding = EncodingOf(bytes);
    if (file.encoding == ProfileEncoding::Bytes) {
        file.text = bytes;
        return file;
    }
    if (file.encoding == ProfileEncoding::Utf8WithMark) {
        file.text = bytes.substr(UTF8_MARK.size());
        return file;
    }
    const std::size_t end = bytes.size() - bytes.size() % 2;
    file.oddByte = bytes.substr(end);
    for (std::size_t at = LE_MARK.size(); at < end; at += 2) {
        std::uint32_t code = UnitAt(bytes, at, file.encoding);
        if (IsHighSurrogate(code) && at + 2 < end) {
            const std::uint32_t next = UnitAt(bytes, at + 2, file.encoding);
            if (IsLowSurrogate(next)) {
                code = 0x10000 + ((code - 0xD800) << 10U) + (next - 0xDC00);
                at += 2;
            }
        }
        AppendUtf8(file.text, code);
    }
    return file;
}

std::string EncodeProfileFile(const ProfileFileText& file) {
    if (file.encoding == ProfileEncoding::Bytes) {
        return file.text;
    }
    if (file.encoding == ProfileEncoding::Utf8WithMark) {
        return std::string(UTF8_MARK) + file.text;
    }
    std::string bytes(file.encoding == ProfileEncoding::Utf16Le ? LE_MARK : BE_MARK);
    bytes.reserve(bytes.size() + 2 * file.text.size() + file.oddByte.size());
    for (std::size_t at = 0; at < file.text.size();) {
        std::size_t length = 1;
        const std::uint32_t code = CodeAt(file.text, at, length);
        if (code >= 0x10000) {
            AppendUnit(bytes, 0xD800 + ((code - 0x10000) >> 10U), file.encoding);
            AppendUnit(bytes, 0xDC00 + ((code - 0x10000) & 0x3FFU), file.encoding);
        } else {
            AppendUnit(bytes, code, file.encoding);
        }
        at += length;
    }
    return bytes.append(file.oddByte);
}

std::string_view LineEndIn(ProfileEncoding encoding) {
    using namespace std::string_view_literals;
    switch (encoding) {
        case ProfileEncoding::Utf16Le:
            return "\n\0"sv;
        case ProfileEncoding::Utf16Be:
            return "\0\n"sv;
        case ProfileEncoding::Bytes:
        case ProfileEncoding::Utf8WithMark:
            break;
    }
    return "\n";
}

}  // namespace trellan
