#include "png_file.h"

#include <array>
#include <cstdlib>
#include <string_view>
#include <zlib.h>

namespace rcgen {
namespace {

constexpr std::size_t CHANNELS = 4;  // red, green, blue, alpha

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

// Length, type, data and the CRC of type and data.
void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
    PutBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    PutBig32(out, static_cast<std::uint32_t>(crc));
}

int Paeth(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) {
        return left;
    }
    return toUp <= toUpLeft ? up : upLeft;
}

// The row's bytes through one of the five filters: none, sub, up, average and Paeth.
std::vector<std::uint8_t> Filtered(int filter, const std::uint8_t* row, const std::uint8_t* above,
                                   std::size_t length) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(filter)};
    for (std::size_t i = 0; i < length; ++i) {
        const int left = i >= CHANNELS ? row[i - CHANNELS] : 0;
        const int up = above != nullptr ? above[i] : 0;
        const int upLeft = above != nullptr && i >= CHANNELS ? above[i - CHANNELS] : 0;
        const std::array<int, 5> predictions{0, left, up, (left + up) / 2, Paeth(left, up, upLeft)};
        out.push_back(
            static_cast<std::uint8_t>(row[i] - predictions[static_cast<std::size_t>(filter)]));
    }
    return out;
}

// The usual choice: the filter whose bytes, read as signed, sum to the least magnitude.
std::vector<std::uint8_t> BestFiltered(const std::uint8_t* row, const std::uint8_t* above,
                                       std::size_t length) {
    std::vector<std::uint8_t> best;
    long bestSum = 0;
    for (int filter = 0; filter < 5; ++filter) {
        std::vector<std::uint8_t> candidate = Filtered(filter, row, above, length);
        long sum = 0;
        for (std::size_t i = 1; i < candidate.size(); ++i) {
            sum += std::abs(static_cast<int>(static_cast<std::int8_t>(candidate[i])));
        }
        if (best.empty() || sum < bestSum) {
            best = std::move(candidate);
            bestSum = sum;
        }
    }
    return best;
}

}  // namespace

std::vector<std::uint8_t> PngFile(std::size_t side, const std::vector<std::uint32_t>& pixels) {
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t pixel : pixels) {
        for (const int shift : {16, 8, 0, 24}) {
            bytes.push_back(static_cast<std::uint8_t>((pixel >> shift) & 0xFF));
        }
    }
    const std::size_t rowLength = side * CHANNELS;
    std::vector<std::uint8_t> filtered;
    for (std::size_t y = 0; y < side; ++y) {
        const std::uint8_t* row = bytes.data() + y * rowLength;
        const auto best = BestFiltered(row, y > 0 ? row - rowLength : nullptr, rowLength);
        filtered.insert(filtered.end(), best.begin(), best.end());
    }
    uLongf packedSize = compressBound(static_cast<uLong>(filtered.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, filtered.data(), static_cast<uLong>(filtered.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    packed.resize(packedSize);

    std::vector<std::uint8_t> header;
    PutBig32(header, static_cast<std::uint32_t>(side));
    PutBig32(header, static_cast<std::uint32_t>(side));
    // 8 bits a channel, RGBA, deflate, adaptive filters, not interlaced.
    header.insert(header.end(), {8, 6, 0, 0, 0});

    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

}  // namespace rcgen
