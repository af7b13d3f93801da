#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number texts that never depend on the user's locale: the decimal point is always '.'.
namespace trellan {

// The text of one number; large enough for every text made here, the longest being the
// shortest fixed-point text of the smallest negative denormal (a sign, "0.", 323 zeros and 17
// digits).
struct NumberText {
    std::array<char, 352> chars{};
    std::size_t length = 0;

    std::string_view View() const { return {chars.data(), length}; }
};

// As "%.2f" with the rounding users expect (四舍五入): the exact value is rounded to two
// decimals and an exact tie goes away from zero, 0.125 -> "0.13", -0.625 -> "-0.63"; 1.005,
// whose double lies below the tie, -> "1.00". Every text the program shows or stores with two
// decimals comes from here.
NumberText FormatFixed2(double value);
// Money to the cent, as the windows show it: FormatFixed2 below 10^15 in magnitude (where a
// double still holds every cent), never "-0.00"; from there on, and for infinities and NaNs,
// as FormatGeneral15.
NumberText FormatMoney(double value);
// The cents that FormatMoney shows; none where it shows no cents.
std::optional<std::int64_t> MoneyCents(double value);
NumberText FormatScientific2(double value);  // as "%.2e": 1e300 -> "1.00e+300"
NumberText FormatGeneral15(double value);    // as "%.15g": 945.5 -> "945.5", inf -> "inf"
NumberText FormatShortest(double value);     // the shortest text that reads back exactly
NumberText FormatShortestFixed(
    double value);  // the same without an exponent: 0.125, 1e-5 -> "0.00001"

// As the C runtime's atof: leading white space, an optional sign, decimal digits with an
// optional point and exponent; reading stops at the first character that does not fit and a
// text without a number gives 0.0. "2,5" reads as 2. A value beyond the double range reads as
// an infinity, one too small for it as zero.
double ParseLeadingDouble(std::string_view text);

// Field readers: the whole text, blanks around it allowed, must be one number. Empty text,
// trailing characters and values outside the type's range are unreadable. Every text that
// FormatGeneral15 makes (inf, -inf and nan included) reads back.
std::optional<double> ParseDouble(std::string_view text);
std::optional<std::int32_t> ParseInt32(std::string_view text);

// A number as a Chinese input method types it, in the plain form the field readers take: the
// full-width digits, point, plus and minus (U+FF10-U+FF19, U+FF0E, U+FF0B, U+FF0D) become
// ASCII, the ideographic space (U+3000) a blank. Any other text stays as it is.
std::string PlainNumberText(std::string_view typed);

}  // namespace trellan
