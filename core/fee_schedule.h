#pragma once

#include <cstddef>
#include <span>

namespace trellan {

// The three rates every calculation uses, held as fractions. Any double is accepted.
struct FeeSchedule {
    double commissionRate = 0.0015;  // of the traded value, each side
    double stampDutyRate = 0.001;    // of the traded value, each side
    double transferRate = 0.001;     // per share, each side, first exchange only
};

// Bytes of the rate summary line, terminating zero included, counted as the line's text is
// stored in code page 936, where each Chinese character and "‰" take two bytes.
inline constexpr std::size_t SUMMARY_CAPACITY = 100;

// The buffer for the same line in UTF-8, where its seven Chinese characters and three "‰" take
// three bytes each: one byte more for each of those ten.
inline constexpr std::size_t SUMMARY_BUFFER_SIZE = SUMMARY_CAPACITY + 10;

// A rate per mille, as the user sees, edits and stores it, where FeeSchedule holds fractions: a
// type of its own, so that a fraction given for it, or it for a fraction, does not compile.
struct PerMille {
    constexpr PerMille() = default;
    constexpr explicit PerMille(double perMille) : value(perMille) {}
    double value = 0.0;
};

// The three rates per mille, in the order the settings file keeps them.
struct PerMilleRates {
    PerMille commission;
    PerMille stampDuty;
    PerMille transfer;
};

constexpr PerMille ToPerMille(double rate) {
    return PerMille{rate * 1000.0};
}

// A multiplication by the double nearest 0.001, never a division by 1000: the two differ in
// the last bit for some values, and stored files were read this way.
constexpr double FromPerMille(PerMille perMille) {
    return perMille.value * 0.001;
}

constexpr PerMilleRates ToPerMille(const FeeSchedule& schedule) {
    return {ToPerMille(schedule.commissionRate), ToPerMille(schedule.stampDutyRate),
            ToPerMille(schedule.transferRate)};
}

constexpr FeeSchedule FromPerMille(const PerMilleRates& rates) {
    return {FromPerMille(rates.commission), FromPerMille(rates.stampDuty),
            FromPerMille(rates.transfer)};
}

// Writes "佣金1.50‰,花税1.00‰,过户费1.00‰" for the given rates. The text is UTF-8, always
// terminated and never cut inside a character. Every number is in fixed notation when the line
// fits SUMMARY_CAPACITY (so always when each is below 10^20 per mille); when it would not, the
// longest numbers are written in exponent notation until it does.
void FormatRateSummary(const FeeSchedule& schedule, std::span<char, SUMMARY_BUFFER_SIZE> buffer);

}  // namespace trellan
