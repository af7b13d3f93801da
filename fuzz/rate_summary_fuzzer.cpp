// The rate summary line with arbitrary rates (every bit pattern: NaNs, infinities, 1e300,
// denormals). The line must stay inside SUMMARY_BUFFER_SIZE, be valid UTF-8 and hold its three
// labels and per-mille signs. Each number is "%.2f" with ties away from zero, or with
// "%.2e" when the line would not fit otherwise: all are fixed when the fixed line fits, and a
// number whose fixed text needs no more than a third of the room is fixed in any case. The room
// is counted as in code page 936 (SUMMARY_CAPACITY), where the fixed text takes 22 bytes.
//
// Input: three doubles as 24 bytes.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/fee_schedule.h"

#include "fuzz_check.h"

namespace {

using trellan::fuzzing::Require;

constexpr char UNTOUCHED = '\x5A';
constexpr std::array<std::string_view, 3> LABELS{"佣金", ",花税", ",过户费"};
constexpr std::string_view PER_MILLE = "‰";
constexpr std::size_t FIXED_TEXT = 22;  // bytes of the labels and signs in code page 936
constexpr std::size_t FAIR_SHARE = (trellan::SUMMARY_CAPACITY - 1 - FIXED_TEXT) / 3;

std::string Printed(const char* format, double value) {
    std::array<char, 512> text{};
    const int length = std::snprintf(text.data(), text.size(), format, value);
    return {text.data(), static_cast<std::size_t>(length)};
}

std::size_t Count(std::string_view text, std::string_view piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string_view::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, 24> bytes{};
    std::memcpy(bytes.data(), data, std::min(size, bytes.size()));
    trellan::FeeSchedule schedule;
    schedule.commissionRate = trellan::fuzzing::DoubleFromBytes(bytes.data(), 8);
    schedule.stampDutyRate = trellan::fuzzing::DoubleFromBytes(bytes.data() + 8, 8);
    schedule.transferRate = trellan::fuzzing::DoubleFromBytes(bytes.data() + 16, 8);

    // Exactly the capacity on the heap, so that AddressSanitizer sees a single byte too many.
    const std::unique_ptr<char[]> buffer(new char[trellan::SUMMARY_BUFFER_SIZE]);
    std::memset(buffer.get(), UNTOUCHED, trellan::SUMMARY_BUFFER_SIZE);
    trellan::FormatRateSummary(schedule, std::span<char, trellan::SUMMARY_BUFFER_SIZE>(
                                             buffer.get(), trellan::SUMMARY_BUFFER_SIZE));

    const std::size_t length = strnlen(buffer.get(), trellan::SUMMARY_BUFFER_SIZE);
    Require(length < trellan::SUMMARY_BUFFER_SIZE, "the line is terminated inside its buffer");
    const std::string_view line(buffer.get(), length);
    Require(trellan::fuzzing::IsValidUtf8(line), "the line is valid UTF-8");
    Require(Count(line, PER_MILLE) == 3, "the line holds three per-mille signs");

    const std::array<double, 3> perMille{trellan::ToPerMille(schedule.commissionRate).value,
                                         trellan::ToPerMille(schedule.stampDutyRate).value,
                                         trellan::ToPerMille(schedule.transferRate).value};
    std::string_view rest = line;
    std::size_t fixedLength = 0;
    bool allFixed = true;
    for (std::size_t i = 0; i < perMille.size(); ++i) {
        Require(rest.starts_with(LABELS[i]), "the labels stand in their order");
        rest.remove_prefix(LABELS[i].size());
        const std::size_t sign = rest.find(PER_MILLE);
        const std::string_view number = rest.substr(0, sign);
        rest.remove_prefix(sign + PER_MILLE.size());
        const std::string fixed = trellan::fuzzing::PrintedFixed2(perMille[i]);
        Require(number == fixed || number == Printed("%.2e", perMille[i]),
                "each rate is printed as by %.2f, or by %.2e when too long");
        fixedLength += fixed.size();
        if (fixed.size() <= FAIR_SHARE) {
            Require(number == fixed, "a number needing no more than its share is fixed");
        }
        allFixed = allFixed && number == fixed;
    }
    Require(rest.empty(), "nothing follows the last per-mille sign");
    Require(allFixed || FIXED_TEXT + fixedLength >= trellan::SUMMARY_CAPACITY,
            "all numbers are fixed when the fixed line fits");
    return 0;
}
