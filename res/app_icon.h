#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace res {

inline constexpr std::size_t ICON_SIZE = 32;

// The application icon IDR_MAINFRAME as the templates show it: ICON_SIZE rows of ICON_SIZE
// pixels, drawn pixel by pixel, top row first, each 0xAARRGGBB with alpha either 0
// (transparent) or 0xFF.
std::span<const std::uint32_t, ICON_SIZE * ICON_SIZE> AppIconPixels();

// The icon drawn pixel by pixel for the sizes where the vector source's shapes would fall between
// pixels and blur into each other (at 16 the rising line ran into the bars): side x side pixels
// as above. Empty for the other sizes.
inline constexpr std::array<std::size_t, 3> HAND_DRAWN_ICON_SIZES{16, 24, ICON_SIZE};
std::span<const std::uint32_t> HandDrawnIconPixels(std::size_t side);

// The icon at any size: side x side pixels, top row first, each 0xAARRGGBB with straight alpha.
// The hand-drawn pixels where there are some, else drawn from the vector source with its edges
// smoothed.
std::vector<std::uint32_t> AppIconImage(std::size_t side);

// The vector source as an SVG document, for desktops that scale the icon themselves.
std::string AppIconSvg();

// The sizes of the Windows program's icon file, of the hicolor icons on Linux, and of the icons
// the Linux window carries (larger ones come from the hicolor theme).
inline constexpr std::array<std::size_t, 5> WINDOWS_ICON_SIZES{16, 24, 32, 48, 256};
inline constexpr std::array<std::size_t, 7> HICOLOR_ICON_SIZES{16, 24, 32, 48, 64, 128, 256};
inline constexpr std::array<std::size_t, 5> WINDOW_ICON_SIZES{16, 24, 32, 48, 64};

}  // namespace res
