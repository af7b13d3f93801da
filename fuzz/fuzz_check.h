#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

// What every fuzz target needs besides the code under test: a failed property aborts, so that
// libFuzzer keeps the input that broke it.
namespace trellan::fuzzing {

inline void Require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property violated: %s\n", property);
        std::abort();
    }
}

inline bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Reads a double from eight bytes, so that every bit pattern (NaNs, infinities, denormals) can
// be reached; missing bytes count as zero.
inline double DoubleFromBytes(const std::uint8_t* data, std::size_t size) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, size < sizeof bits ? size : sizeof bits);
    return std::bit_cast<double>(bits);
}

// "%.2f" with an exact tie rounded away from zero, worked out independently of the code under
// test: from the C library's exact decimal expansion of the value, rounded by hand.
inline std::string PrintedFixed2(double value) {
    std::array<char, 1500> text{};
    if (!std::isfinite(value)) {
        const int length = std::snprintf(text.data(), text.size(), "%.2f", value);
        return {text.data(), static_cast<std::size_t>(length)};
    }
    // 1080 decimals hold every double exactly (the smallest needs 1074).
    const int length = std::snprintf(text.data(), text.size(), "%.1080f", value);
    const std::string exact(text.data(), static_cast<std::size_t>(length));
    const std::size_t point = exact.find('.');
    std::string kept = exact.substr(0, point + 3);
    if (exact[point + 3] < '5') {
        return kept;
    }
    for (std::size_t i = kept.size();;) {
        if (i == 0 || kept[i - 1] == '-') {
            kept.insert(i, "1");
            return kept;
        }
        --i;
        if (kept[i] == '9') {
            kept[i] = '0';
        } else if (kept[i] != '.') {
            ++kept[i];
            return kept;
        }
    }
}

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing
// beyond U+10FFFF, no sequence cut short.
inline bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // Sequence length, the payload bits of the lead byte, and the least code point that
        // needs this many bytes.
        struct Form {
            std::size_t length;
            std::uint32_t mask;
            std::uint32_t least;
        };
        const Form form = (lead & 0xE0) == 0xC0   ? Form{2, 0x1F, 0x80}
                          : (lead & 0xF0) == 0xE0 ? Form{3, 0x0F, 0x800}
                          : (lead & 0xF8) == 0xF0 ? Form{4, 0x07, 0x10000}
                                                  : Form{0, 0, 0};
        const std::size_t length = form.length;
        const std::uint32_t least = form.least;
        std::uint32_t code = lead & form.mask;
        if (length == 0) {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace trellan::fuzzing
