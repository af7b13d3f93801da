#include "core/fee_schedule.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/number_text.h"

namespace trellan {
namespace {

constexpr std::array<std::string_view, 3> LABELS{"佣金", ",花税", ",过户费"};
constexpr std::string_view PER_MILLE = "‰";

constexpr std::size_t FixedTextLength() {
    std::size_t length = 3 * PER_MILLE.size();
    for (const std::string_view label : LABELS) {
        length += label.size();
    }
    return length;
}

// What is left of the line for each of the three numbers.
constexpr std::size_t NUMBER_BUDGET = (SUMMARY_CAPACITY - 1 - FixedTextLength()) / 3;
static_assert(NUMBER_BUDGET >= sizeof("-1.79e+308") - 1, "exponent notation must always fit");

NumberText SummaryNumber(double perMille) {
    const NumberText fixed = FormatFixed2(perMille);
    return fixed.length <= NUMBER_BUDGET ? fixed : FormatScientific2(perMille);
}

// Appends whole pieces only, so the text is never cut inside a character.
class BoundedWriter {
  public:
    explicit BoundedWriter(std::span<char, SUMMARY_CAPACITY> buffer) : m_buffer(buffer) {
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
    std::span<char, SUMMARY_CAPACITY> m_buffer;
    std::size_t m_length = 0;
};

}  // namespace

void FormatRateSummary(const FeeSchedule& schedule, std::span<char, SUMMARY_CAPACITY> buffer) {
    const std::array<double, 3> perMille{ToPerMille(schedule.commissionRate),
                                         ToPerMille(schedule.stampDutyRate),
                                         ToPerMille(schedule.transferRate)};
    BoundedWriter line(buffer);
    for (std::size_t i = 0; i < perMille.size(); ++i) {
        line.Append(LABELS[i]);
        line.Append(SummaryNumber(perMille[i]).View());
        line.Append(PER_MILLE);
    }
}

}  // namespace trellan
