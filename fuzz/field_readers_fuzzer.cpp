// The field readers for doubles and 32-bit integers.
//
// Every input is read twice: as the text a user typed into a field (ParseDouble is compared
// with strtod in the "C" locale, ParseInt32 with a plain reference reader), and as the bit
// pattern of a double and an integer whose field texts must read back.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <optional>
#include <string>
#include <string_view>

#include "core/number_text.h"

#include "fuzz_check.h"

namespace {

using trellan::fuzzing::Require;
using trellan::fuzzing::SameBits;

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameValue(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || SameBits(a, b);
}

// Blanks, then an optional sign, then nothing but decimal digits, within the int32 range.
std::optional<std::int32_t> ReferenceInt32(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    constexpr std::int64_t beyond = std::int64_t{1} << 32;  // saturates far past either end
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        magnitude = std::min(magnitude * 10 + (c - '0'), beyond);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

void CheckTypedDouble(std::string_view typed) {
    const std::optional<double> read = trellan::ParseDouble(typed);
    const std::string trimmed(TrimBlanks(typed));
    errno = 0;
    char* end = nullptr;
    const double expected = strtod_l(trimmed.c_str(), &end, CLocale());
    const bool outOfRange = errno == ERANGE;
    const bool whole = !trimmed.empty() && end == trimmed.c_str() + trimmed.size();
    if (read) {
        Require(whole, "a field the reader accepts is one whole number");
        if (outOfRange && std::isinf(expected)) {
            // Only the largest double as shown with 15 digits may lie just beyond the range.
            const std::string_view unsigned_ =
                trimmed.starts_with('+') ? std::string_view(trimmed).substr(1) : trimmed;
            Require(std::fabs(*read) == std::numeric_limits<double>::max() &&
                        unsigned_ == trellan::FormatGeneral15(*read).View(),
                    "only the largest shown double reads from beyond the range");
        } else {
            Require(SameValue(*read, expected), "ParseDouble reads as strtod in the C locale");
        }
        return;
    }
    // strtod also skips line ends before a number and reads hexadecimal numbers; the field
    // reader knows neither, and refuses values beyond the range.
    const bool onlyStrtodReads = trimmed.empty() ||
                                 trimmed.find_first_of("xX") != std::string::npos ||
                                 std::isspace(static_cast<unsigned char>(trimmed.front())) != 0;
    Require(!whole || outOfRange || onlyStrtodReads, "every whole decimal number is accepted");
}

void CheckTypedInt32(std::string_view typed) {
    Require(trellan::ParseInt32(typed) == ReferenceInt32(typed),
            "ParseInt32 accepts exactly blanks, a sign and digits within range");
}

void CheckShownDouble(double value) {
    // What the window shows (15 significant digits) reads back as a double shown alike.
    const trellan::NumberText shown = trellan::FormatGeneral15(value);
    const std::optional<double> read = trellan::ParseDouble(shown.View());
    Require(read.has_value(), "every shown double reads back");
    if (std::isnan(value)) {
        Require(std::isnan(*read), "nan reads back as a nan");
    } else {
        Require(trellan::FormatGeneral15(*read).View() == shown.View(),
                "a shown double reads back as the same text");
        Require(std::signbit(*read) == std::signbit(value), "the sign survives, -0 included");
    }
    const std::string padded = " \t" + std::string(shown.View()) + "\t ";
    const std::optional<double> readPadded = trellan::ParseDouble(padded);
    Require(readPadded.has_value() && SameValue(*readPadded, *read), "blanks around are allowed");

    const trellan::NumberText shortest = trellan::FormatShortest(value);
    const std::optional<double> exact = trellan::ParseDouble(shortest.View());
    Require(exact.has_value() && SameValue(*exact, value), "the shortest text reads back exactly");
}

void CheckShownInt32(std::int32_t value) {
    const std::string text = std::to_string(value);
    Require(trellan::ParseInt32(text) == value, "an integer's text reads back");
    Require(trellan::ParseInt32("\t" + text + "  ") == value, "blanks around are allowed");
    if (value >= 0) {
        Require(trellan::ParseInt32("+" + text) == value, "a plus sign is allowed");
        Require(trellan::ParseInt32("000" + text) == value, "leading zeros are allowed");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view typed(reinterpret_cast<const char*>(data), size);
    CheckTypedDouble(typed);
    CheckTypedInt32(typed);
    CheckShownDouble(trellan::fuzzing::DoubleFromBytes(data, size));
    std::int32_t integer = 0;
    std::memcpy(&integer, data, std::min(size, sizeof integer));
    CheckShownInt32(integer);
    return 0;
}
