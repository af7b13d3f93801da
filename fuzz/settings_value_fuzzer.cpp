// Saving arbitrary per-mille values into an arbitrary existing settings file.
//
// Each value text stays inside VALUE_CAPACITY and is what the C library prints with "%.2f",
// unless it is written in the shortest exact form (too long) or as an out-of-range number
// (an infinity). What is written reads back: to two decimals, exactly in the shortest form, as
// the same infinity. A nan has no text in the atof grammar; it is only required not to break
// the file. And the whole file, read again, gives each rate as its value text says.
//
// Input: three doubles as bit patterns (taken from the end of the data), the rest as the text
// of the existing file.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "core/fee_schedule.h"
#include "core/number_text.h"

#include "settings/settings_file.h"

#include "fuzz_check.h"

namespace {

using trellan::fuzzing::Require;
using trellan::fuzzing::SameBits;

constexpr char UNTOUCHED = '\x5A';

std::string Printed(double value) {
    std::array<char, 512> text{};
    const int length = std::snprintf(text.data(), text.size(), "%.2f", value);
    return {text.data(), static_cast<std::size_t>(length)};
}

// The text stored for value, checked on its own.
std::string CheckValueText(double value) {
    const std::unique_ptr<char[]> buffer(new char[trellan::VALUE_CAPACITY]);
    std::memset(buffer.get(), UNTOUCHED, trellan::VALUE_CAPACITY);
    trellan::FormatSettingsValue(
        trellan::PerMille{value},
        std::span<char, trellan::VALUE_CAPACITY>(buffer.get(), trellan::VALUE_CAPACITY));
    const std::size_t length = strnlen(buffer.get(), trellan::VALUE_CAPACITY);
    Require(length < trellan::VALUE_CAPACITY, "the value text is terminated inside its buffer");
    const std::string text(buffer.get(), length);
    if (std::isnan(value)) {
        return text;
    }
    const double back = trellan::ParseLeadingDouble(text);
    if (std::isinf(value)) {
        Require(back == value, "an infinity reads back as itself");
    } else if (text == Printed(value)) {
        const double ulp =
            std::nextafter(std::fabs(value), std::numeric_limits<double>::infinity()) -
            std::fabs(value);
        Require(std::fabs(back - value) <= 0.005 + ulp, "a value reads back to two decimals");
        Require(trellan::FormatFixed2(back).View() == text, "the text read back prints the same");
    } else {
        Require(Printed(value).size() >= trellan::VALUE_CAPACITY,
                "only a value too long for two decimals is written otherwise");
        Require(SameBits(back, value), "the shortest form reads back exactly");
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
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
    return 0;
}
