#include "core/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace trellan {
namespace {

NumberText Format(double value, std::chars_format format, int precision) {
    NumberText text;
    const auto [end, ec] = std::to_chars(text.chars.data(), text.chars.data() + text.chars.size(),
                                         value, format, precision);
    // The buffer holds the longest text of every format used here.
    text.length = ec == std::errc{} ? static_cast<std::size_t>(end - text.chars.data()) : 0;
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The white space that the C runtime skips before a number.
bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::size_t CountDigits(std::string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return end - from;
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

// Length of the longest prefix of the form digits[.digits][e[sign]digits] holding at least
// one mantissa digit; 0 when there is none.
std::size_t DecimalNumberLength(std::string_view text) {
    const std::size_t integerDigits = CountDigits(text, 0);
    std::size_t length = integerDigits;
    std::size_t fractionDigits = 0;
    if (length < text.size() && text[length] == '.') {
        fractionDigits = CountDigits(text, length + 1);
        if (integerDigits + fractionDigits > 0) {
            length += 1 + fractionDigits;
        }
    }
    if (integerDigits + fractionDigits == 0) {
        return 0;
    }
    if (length < text.size() && (text[length] == 'e' || text[length] == 'E')) {
        std::size_t exponentStart = length + 1;
        if (exponentStart < text.size() &&
            (text[exponentStart] == '+' || text[exponentStart] == '-')) {
            ++exponentStart;
        }
        const std::size_t exponentDigits = CountDigits(text, exponentStart);
        if (exponentDigits > 0) {
            length = exponentStart + exponentDigits;
        }
    }
    return length;
}

// Power of ten of the leading non-zero digit of "digits[.digits]"; none when all are zero.
std::optional<long long> LeadingPower(std::string_view mantissa) {
    const std::size_t point = mantissa.find('.');
    const std::string_view integer = mantissa.substr(0, point);
    const std::size_t firstInteger = integer.find_first_not_of('0');
    if (firstInteger != std::string_view::npos) {
        return static_cast<long long>(integer.size() - firstInteger) - 1;
    }
    if (point == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t firstFraction = mantissa.substr(point + 1).find_first_not_of('0');
    if (firstFraction == std::string_view::npos) {
        return std::nullopt;
    }
    return -static_cast<long long>(firstFraction) - 1;
}

// "[sign]digits", saturated far beyond any double exponent.
long long SaturatedExponent(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    long long exponent = 0;
    for (const char digit : text) {
        exponent = std::min(exponent * 10 + (digit - '0'), 1'000'000'000LL);
    }
    return negative ? -exponent : exponent;
}

// Whether a decimal number that a double cannot hold is too large rather than too small.
bool Overflows(std::string_view number) {
    const std::size_t e = number.find_first_of("eE");
    const std::optional<long long> leading = LeadingPower(number.substr(0, e));
    const long long exponent =
        e == std::string_view::npos ? 0 : SaturatedExponent(number.substr(e + 1));
    return leading.has_value() && *leading + exponent > 0;
}

// The largest double shown with 15 digits rounds up beyond the double range; it must still
// read back as what was shown.
std::optional<double> LargestShown(std::string_view text) {
    constexpr double largest = std::numeric_limits<double>::max();
    if (text == FormatGeneral15(largest).View()) {
        return largest;
    }
    if (text == FormatGeneral15(-largest).View()) {
        return -largest;
    }
    return std::nullopt;
}

// The doubles that lie exactly halfway between two hundredths are the odd multiples of 1/8
// (x.125, x.375, x.625, x.875): a fraction k/200 is a binary fraction only when 25 divides k.
bool IsTieAtTwoDecimals(double value) {
    const double eighths = value * 8.0;  // exact: a power of two
    return std::isfinite(eighths) && std::trunc(eighths) == eighths &&
           std::fmod(eighths, 2.0) != 0.0;
}

constexpr double MONEY_CENTS_LIMIT = 1e15;

bool ShowsCents(double value) {
    return std::fabs(value) < MONEY_CENTS_LIMIT;  // false for a NaN
}

}  // namespace

NumberText FormatFixed2(double value) {
    if (!IsTieAtTwoDecimals(value)) {
        return Format(value, std::chars_format::fixed, 2);  // correctly rounded, no tie to break
    }
    // A tie prints exactly with three decimals, the last a 5; the digit before it is a 2 or a 7,
    // so rounding its magnitude up never carries.
    NumberText text = Format(value, std::chars_format::fixed, 3);
    --text.length;
    ++text.chars[text.length - 1];
    text.chars[text.length] = '\0';
    return text;
}

NumberText FormatMoney(double value) {
    if (!ShowsCents(value)) {
        return FormatGeneral15(value);
    }
    NumberText text = FormatFixed2(value);
    if (text.View() == "-0.00") {
        std::copy(text.chars.begin() + 1, text.chars.end(), text.chars.begin());
        --text.length;
    }
    return text;
}

std::optional<std::int64_t> MoneyCents(double value) {
    if (!ShowsCents(value)) {
        return std::nullopt;
    }
    const NumberText text = FormatMoney(value);
    std::string digits(text.View());
    digits.erase(digits.size() - 3, 1);  // the point before the two decimals
    std::int64_t cents = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), cents);
    return cents;
}

NumberText FormatScientific2(double value) {
    return Format(value, std::chars_format::scientific, 2);
}

NumberText FormatGeneral15(double value) {
    return Format(value, std::chars_format::general, 15);
}

NumberText FormatShortest(double value) {
    NumberText text;
    const auto [end, ec] =
        std::to_chars(text.chars.data(), text.chars.data() + text.chars.size(), value);
    text.length = ec == std::errc{} ? static_cast<std::size_t>(end - text.chars.data()) : 0;
    return text;
}

NumberText FormatShortestFixed(double value) {
    NumberText text;
    const auto [end, ec] = std::to_chars(text.chars.data(), text.chars.data() + text.chars.size(),
                                         value, std::chars_format::fixed);
    text.length = ec == std::errc{} ? static_cast<std::size_t>(end - text.chars.data()) : 0;
    return text;
}

double ParseLeadingDouble(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && IsCSpace(text[start])) {
        ++start;
    }
    bool negative = false;
    if (start < text.size() && (text[start] == '+' || text[start] == '-')) {
        negative = text[start] == '-';
        ++start;
    }
    const std::string_view rest = text.substr(start);
    const std::string_view number = rest.substr(0, DecimalNumberLength(rest));
    if (number.empty()) {
        return 0.0;
    }
    double magnitude = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), magnitude,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        magnitude = Overflows(number) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -magnitude : magnitude;
}

std::optional<double> ParseDouble(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            return std::nullopt;
        }
    }
    double value = 0.0;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(text.data(), last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range && end == last) {
        return LargestShown(text);
    }
    if (text.empty() || ec != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(text.data(), last, value);
    if (text.empty() || ec != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

// The full-width forms are U+FF0B-U+FF19 (EF BC 8B-99 in UTF-8), the ideographic space U+3000
// (E3 80 80): as ASCII, each is its code point less 0xFEE0, the space a blank.
std::string PlainNumberText(std::string_view typed) {
    std::string plain;
    plain.reserve(typed.size());
    for (std::size_t at = 0; at < typed.size(); ++at) {
        const std::string_view rest = typed.substr(at);
        const auto third = rest.size() >= 3 ? static_cast<unsigned char>(rest[2]) : 0U;
        if (rest.starts_with("\xEF\xBC") && third >= 0x8B && third <= 0x99 && third != 0x8C &&
            third != 0x8F) {
            plain.push_back(static_cast<char>('+' + (third - 0x8B)));
            at += 2;
        } else if (rest.starts_with("\xE3\x80\x80")) {
            plain.push_back(' ');
            at += 2;
        } else {
            plain.push_back(typed[at]);
        }
    }
    return plain;
}

}  // namespace trellan
