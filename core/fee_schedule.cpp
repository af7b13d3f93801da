#include "core/fee_schedule.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/fee_rules.h"
#include "core/number_text.h"

namespace trellan {
namespace {

using Labels = std::array<std::string_view, 3>;

constexpr Labels LABELS{"佣金", ",花税", ",过户费"};
// Today's rules: as long as the classic line, which just fills its control.
constexpr Labels LABELS_2023{"现行佣", ",印花", ",过户"};
constexpr std::string_view PER_MILLE = "‰";

// Bytes of a UTF-8 text in code page 936: one for ASCII, two for each character of ours beyond
// it (all of them Chinese characters or "‰").
constexpr std::size_t Cp936Length(std::string_view utf8) {
    std::size_t length = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        length += byte < 0x80 ? 1 : (byte & 0xC0) == 0xC0 ? 2 : 0;
    }
    return length;
}

constexpr std::size_t FixedTextLength(std::size_t (*length)(std::string_view),
                                      const Labels& labels = LABELS) {
    std::size_t total = 3 * length(PER_MILLE);
    for (const std::string_view label : labels) {
        total += length(label);
    }
    return total;
}

constexpr std::size_t Utf8Length(std::string_view utf8) {
    return utf8.size();
}

static_assert(FixedTextLength(Cp936Length) == 22, "the fixed text is 22 bytes in code page 936");
static_assert(FixedTextLength(Cp936Length, LABELS_2023) == FixedTextLength(Cp936Length) &&
                  FixedTextLength(Utf8Length, LABELS_2023) == FixedTextLength(Utf8Length),
              "both lines share the room");
static_assert(SUMMARY_BUFFER_SIZE - SUMMARY_CAPACITY ==
                  FixedTextLength(Utf8Length) - FixedTextLength(Cp936Length),
              "the buffer holds in UTF-8 what the capacity holds in code page 936");

// The room for the three numbers (ASCII, the same bytes in either encoding); a third of it
// always holds any number in exponent notation, and any number below 10^20 in fixed notation.
constexpr std::size_t NUMBER_ROOM = SUMMARY_CAPACITY - 1 - FixedTextLength(Cp936Length);
static_assert(NUMBER_ROOM / 3 >= sizeof("-99999999999999983616.00") - 1,
              "three numbers below 10^20 must fit in fixed notation");

// Every number in fixed notation when the whole line fits; otherwise the longest numbers, one
// after another, in exponent notation until it does. A long number thus costs no other number
// its fixed notation.
std::array<NumberText, 3> SummaryNumbers(const std::array<double, 3>& perMille) {
    std::array<NumberText, 3> numbers{FormatFixed2(perMille[0]), FormatFixed2(perMille[1]),
                                      FormatFixed2(perMille[2])};
    const auto numbersLength = [&numbers] {
        return numbers[0].length + numbers[1].length + numbers[2].length;
    };
    for (std::size_t shortened = 0; shortened < numbers.size() && numbersLength() > NUMBER_ROOM;
         ++shortened) {
        std::size_t longest = 0;
        for (std::size_t i = 1; i < numbers.size(); ++i) {
            longest = numbers[i].length > numbers[longest].length ? i : longest;
        }
        numbers[longest] = FormatScientific2(perMille[longest]);
    }
    return numbers;
}

// Appends whole pieces only, so the text is never cut inside a character.
class BoundedWriter {
  public:
    explicit BoundedWriter(std::span<char, SUMMARY_BUFFER_SIZE> buffer) : m_buffer(buffer) {
        m_buffer[0] = '\0';
    }

    void Append(std::string_view piece) {
        if (piece.size() > m_buffer.size() - 1 - m_length) {
            return;
        }
        std::copy(piece.begin(), piece.end(), m_buffer.begin() + static_cast<long>(m_length));
        m_length += piece.size();
        m_buffer[m_length] = '\0';
    }

  private:
    std::span<char, SUMMARY_BUFFER_SIZE> m_buffer;
    std::size_t m_length = 0;
};

void WriteSummary(const Labels& labels, const std::array<double, 3>& perMille,
                  std::span<char, SUMMARY_BUFFER_SIZE> buffer) {
    const std::array<NumberText, 3> numbers = SummaryNumbers(perMille);
    BoundedWriter line(buffer);
    for (std::size_t i = 0; i < perMille.size(); ++i) {
        line.Append(labels[i]);
        line.Append(numbers[i].View());
        line.Append(PER_MILLE);
    }
}

}  // namespace

void FormatRateSummary(const FeeSchedule& schedule, std::span<char, SUMMARY_BUFFER_SIZE> buffer) {
    WriteSummary(
        LABELS,
        {ToPerMille(schedule.commissionRate).value, ToPerMille(schedule.stampDutyRate).value,
         ToPerMille(schedule.transferRate).value},
        buffer);
}

void FormatRateSummary2023(const FeeSchedule2023& schedule,
                           std::span<char, SUMMARY_BUFFER_SIZE> buffer) {
    WriteSummary(
        LABELS_2023,
        {ToPerMille(schedule.commissionRate).value, ToPerMille(schedule.stampDutyRate).value,
         ToPerMille(schedule.transferRate).value},
        buffer);
}

}  // namespace trellan
