#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rcgen {

// A square image as a PNG file: 8-bit RGBA with straight alpha, each row filtered as it
// compresses best and the whole deflated by zlib at its highest level. pixels are 0xAARRGGBB,
// top row first.
std::vector<std::uint8_t> PngFile(std::size_t side, const std::vector<std::uint32_t>& pixels);

}  // namespace rcgen
