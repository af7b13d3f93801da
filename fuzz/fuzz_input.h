#pragma once

// The few ways the fuzz targets take their input apart, byte for byte as libFuzzer's
// FuzzedDataProvider does (so the seed corpora mean the same inputs), in plain C++: the seed
// replays then build with any compiler. Numbers come from the end of the data, text from the
// front.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace fuzzing {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_remaining(size) {}

    // A number in [min, max] from up to sizeof(T) bytes taken from the end, the last byte the
    // least significant; min when no byte is left.
    template <class T>
    T ConsumeIntegralInRange(T min, T max) {
        const auto range = static_cast<std::uint64_t>(max) - static_cast<std::uint64_t>(min);
        std::uint64_t result = 0;
        std::size_t offset = 0;
        while (offset < sizeof(T) * CHAR_BIT && (range >> offset) > 0 && m_remaining != 0) {
            --m_remaining;
            result = (result << CHAR_BIT) | m_data[m_remaining];
            offset += CHAR_BIT;
        }
        if (range != std::numeric_limits<std::uint64_t>::max()) {
            result = result % (range + 1);
        }
        return static_cast<T>(static_cast<std::uint64_t>(min) + result);
    }

    template <class T>
    T ConsumeIntegral() {
        return ConsumeIntegralInRange(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    }

    // Up to maxLength characters from the front, ending early at a lone backslash ("\ " ends a
    // string, "\\" is one backslash).
    std::string ConsumeRandomLengthString(std::size_t maxLength) {
        std::string result;
        for (std::size_t i = 0; i < maxLength && m_remaining != 0; ++i) {
            char next = Take();
            if (next == '\\' && m_remaining != 0) {
                next = Take();
                if (next != '\\') {
                    break;
                }
            }
            result += next;
        }
        return result;
    }

    std::string ConsumeRemainingBytesAsString() {
        std::string result(reinterpret_cast<const char*>(m_data), m_remaining);
        m_data += m_remaining;
        m_remaining = 0;
        return result;
    }

  private:
    char Take() {
        const auto next = static_cast<char>(*m_data);
        ++m_data;
        --m_remaining;
        return next;
    }

    const std::uint8_t* m_data;
    std::size_t m_remaining;
};

}  // namespace fuzzing
