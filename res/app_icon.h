#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace res {

inline constexpr std::size_t ICON_SIZE = 32;

// The application icon IDR_MAINFRAME: ICON_SIZE rows of ICON_SIZE pixels, top row first, each
// 0xAARRGGBB with alpha either 0 (transparent) or 0xFF.
std::span<const std::uint32_t, ICON_SIZE * ICON_SIZE> AppIconPixels();

}  // namespace res
