// Saving arbitrary per-mille values into an arbitrary existing settings file.
//
// Each value text stays inside VALUE_CAPACITY and reads back as the very double that was saved
// (an infinity as the same infinity); it is "%.2f" (ties away from zero) whenever that text fits
// and reads back so. A nan has no text in the atof grammar; it is only required not to break
// the file. And the whole file, read again, gives each rate as its value text says.
//
// Input: three doubles as bit patterns (taken from the end of the data), the rest as the text
// of the existing file.
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/fee_rules.h"
#include "core/fee_schedule.h"
#include "core/number_text.h"

#include "settings/fee_settings.h"
#include "settings/settings_file.h"

#include "fuzz_check.h"
#include "fuzz_input.h"

namespace {

using trellan::fuzzing::Require;
using trellan::fuzzing::SameBits;

constexpr char UNTOUCHED = '\x5A';

std::string Printed(double value) {
    return trellan::fuzzing::PrintedFixed2(value);
}

// The text stored for value, checked on its own.
std::string CheckValueText(double value) {
    const std::unique_ptr<char[]> buffer(new char[trellan::VALUE_CAPACITY]);
    std::memset(buffer.get(), UNTOUCHED, trellan::VALUE_CAPACITY);
    trellan::FormatSettingsValue(
        value, std::span<char, trellan::VALUE_CAPACITY>(buffer.get(), trellan::VALUE_CAPACITY));
    const std::size_t length = strnlen(buffer.get(), trellan::VALUE_CAPACITY);
    Require(length < trellan::VALUE_CAPACITY, "the value text is terminated inside its buffer");
    const std::string text(buffer.get(), length);
    if (std::isnan(value)) {
        return text;
    }
    const double back = trellan::ParseLeadingDouble(text);
    Require(SameBits(back, value), "the value text reads back as the very same double");
    const std::string twoDecimals = Printed(value);
    if (twoDecimals.size() < trellan::VALUE_CAPACITY && !std::isinf(value) &&
        SameBits(trellan::ParseLeadingDouble(twoDecimals), value)) {
        Require(text == twoDecimals, "two decimals wherever they read back");
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::FuzzInput input(data, size);
    const std::array<double, 3> values{
        std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>()),
        std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>()),
        std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>())};
    const std::string existing = input.ConsumeRemainingBytesAsString();

    const trellan::PerMilleRates rates{trellan::PerMille{values[0]}, trellan::PerMille{values[1]},
                                       trellan::PerMille{values[2]}};
    std::array<double, 3> expected{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        expected[i] = trellan::FromPerMille(
            trellan::PerMille{trellan::ParseLeadingDouble(CheckValueText(values[i]))});
    }
    const std::string saved = trellan::SettingsTextWith(existing, rates);
    const trellan::FeeSchedule loaded = trellan::FeeScheduleFromText(saved);
    Require(SameBits(loaded.commissionRate, expected[0]) &&
                SameBits(loaded.stampDutyRate, expected[1]) &&
                SameBits(loaded.transferRate, expected[2]),
            "the saved file reads back as the three value texts say");
    Require(trellan::SettingsTextWith(saved, rates) == saved,
            "saving the same values twice is saving them once");

    // Today's rules and their set beside the classic keys: all of it reads back, and the classic
    // rates are what the classic save alone gives.
    const trellan::PerMilleRates rotated{rates.stampDuty, rates.transfer, rates.commission};
    const trellan::ConfirmedFees today{
        trellan::FeeRules::Since2023, rates, true, {rotated, values[0]}};
    // Shown as a value no field gives: every value counts as changed.
    const double unseen = std::bit_cast<double>(std::uint64_t{0x7FF4000000000123});
    const trellan::PerMilleRates unseenRates{trellan::PerMille{unseen}, trellan::PerMille{unseen},
                                             trellan::PerMille{unseen}};
    const trellan::ConfirmedFees shown{
        trellan::FeeRules::Classic, unseenRates, false, {unseenRates, unseen}};
    const trellan::FeeSettings both =
        trellan::FeeSettingsFromText(trellan::SettingsTextWith(existing, {today, shown}));
    Require(both.rates.rules == trellan::FeeRules::Since2023 && both.has2023Section,
            "today's rules read back as chosen");
    Require(SameBits(both.rates.classic.commissionRate, expected[0]) &&
                SameBits(both.rates.classic.stampDutyRate, expected[1]) &&
                SameBits(both.rates.classic.transferRate, expected[2]),
            "today's keys leave the classic rates as they are");
    Require(SameBits(both.rates.since2023.commissionRate, expected[1]) &&
                SameBits(both.rates.since2023.stampDutyRate, expected[2]) &&
                SameBits(both.rates.since2023.transferRate, expected[0]),
            "today's rates read back as their value texts say");
    return 0;
}
