#include "res/app_icon.h"

#include <array>
#include <string_view>

namespace res {
namespace {

// Drawn as pixels, one character a pixel: a red rising line over gold bars on a blue tile.
// '.' is transparent.
constexpr std::array<std::string_view, ICON_SIZE> ROWS{
    "................................", "......BBBBBBBBBBBBBBBBBBBB......",
    "....BBFFFFFFFFFFFFFFFFFFFFBB....", "...BFFFFFFFFFFFFFFFFFFFFFFFFB...",
    "..BFFFFFFFFFFFFFFFFFFFFFFFFFFB..", "..BFFFFFFFFFFFFFFFFFFFFFFFRFFB..",
    ".BFFFFFFFFFFFFFFFFFFFFFRRRFFFFB.", ".BFFFFFFFFFFFFFFFFFRRRRRRRFFFFB.",
    ".BFFFFFFFFFFFFFFFFFFRRRRRRFFFFB.", ".BFFFFFFFFFFFFFFFFFFFRRRRFFFFFB.",
    ".BFFFFFFFFFFFFFFFFFFFRRRRFFFFFB.", ".BFFFFFFFFFFFFFFFFFFRRRRRFFFFFB.",
    ".BFFFFFFFFFFFFFFFFFRRRFFRFFFFFB.", ".BFFFFFFFFFFRRFFFFRRRGGGGFFFFFB.",
    ".BFFFFFFFFFRRRRFFRRRFGGGGFFFFFB.", ".BFFFFFFFFRRFRRRFRRFFGGGGFFFFFB.",
    ".BFFFFFFRRRFFFRRRRFFFGGGGFFFFFB.", ".BFFFFFFRRFGGGGRRFFFFGGGGFFFFFB.",
    ".BFFFFFRRFFGGGGFFFFFFGGGGFFFFFB.", ".BFFFFRRFFFGGGGFGGGGFGGGGFFFFFB.",
    ".BFFFRRFFFFGGGGFGGGGFGGGGFFFFFB.", ".BFFFRGGGGFGGGGFGGGGFGGGGFFFFFB.",
    ".BFFFFGGGGFGGGGFGGGGFGGGGFFFFFB.", ".BFFFFGGGGFGGGGFGGGGFGGGGFFFFFB.",
    ".BFFFFGGGGFGGGGFGGGGFGGGGFFFFFB.", ".BFFFFGGGGFGGGGFGGGGFGGGGFFFFFB.",
    "..BFFWWWWWWWWWWWWWWWWWWWWWWFFB..", "..BFFFFFFFFFFFFFFFFFFFFFFFFFFB..",
    "...BFFFFFFFFFFFFFFFFFFFFFFFFB...", "....BBFFFFFFFFFFFFFFFFFFFFBB....",
    "......BBBBBBBBBBBBBBBBBBBB......", "................................",
};

// The same picture drawn again for the small sizes, on their pixel grid: the rising line one
// pixel wide at 16, two at 24, always a pixel clear of the bars, and a solid arrowhead.
constexpr std::array<std::string_view, 16> ROWS_16{
    "...BBBBBBBBBB...", ".BBFFFFFFFFFFBB.", ".BFFFFFFFRRRRFB.", "BFFFFFFFFFRRRFFB",
    "BFFFFFFFFFRRRFFB", "BFFFFFFFFRFFRFFB", "BFFFFFRFRFFFFFFB", "BFFFFRFRFFFFGGFB",
    "BFFFRFFFFFFFGGFB", "BFFRFFGGFFFFGGFB", "BFFFFFGGFGGFGGFB", "BFFGGFGGFGGFGGFB",
    "BFFGGFGGFGGFGGFB", ".BWWWWWWWWWWWWB.", ".BBFFFFFFFFFFBB.", "...BBBBBBBBBB...",
};

constexpr std::array<std::string_view, 24> ROWS_24{
    "........................", ".....BBBBBBBBBBBBBB.....", "...BBFFFFFFFFFFFFFFBB...",
    "..BFFFFFFFFFFFFFFFFFFB..", "..BFFFFFFFFFFFRRRRRRFB..", ".BFFFFFFFFFFFFFRRRRRFFB.",
    ".BFFFFFFFFFFFFFFRRRRFFB.", ".BFFFFFFFFFFFFFRRRRRFFB.", ".BFFFFFFFFFFFFRRFFRRFFB.",
    ".BFFFFFFRRFFFRRFFFFFFFB.", ".BFFFFFRRFRFRRFFFGGGFFB.", ".BFFFFRRFFRRRFFFFGGGFFB.",
    ".BFFFRRFFFFFFFFFFGGGFFB.", ".BFFRRFFFGGGFFFFFGGGFFB.", ".BFRRFFFFGGGFGGGFGGGFFB.",
    ".BFFFFFFFGGGFGGGFGGGFFB.", ".BFFFGGGFGGGFGGGFGGGFFB.", ".BFFFGGGFGGGFGGGFGGGFFB.",
    ".BFFFGGGFGGGFGGGFGGGFFB.", "..BFWWWWWWWWWWWWWWWWWB..", "..BFFFFFFFFFFFFFFFFFFB..",
    "...BBFFFFFFFFFFFFFFBB...", ".....BBBBBBBBBBBBBB.....", "........................",
};

constexpr std::uint32_t Colour(char pixel) {
    switch (pixel) {
        case 'B':
            return 0xFF1B3A5C;  // border, navy
        case 'F':
            return 0xFF2E6DA4;  // tile, blue
        case 'G':
            return 0xFFF2B632;  // bars, gold
        case 'R':
            return 0xFFE0483E;  // rising line, red as gains are shown in China
        case 'W':
            return 0xFFFFFFFF;  // base line
        default:
            return 0x00000000;  // transparent
    }
}

template <std::size_t SIDE>
constexpr std::array<std::uint32_t, SIDE * SIDE> Pixels(
    const std::array<std::string_view, SIDE>& rows) {
    std::array<std::uint32_t, SIDE * SIDE> pixels{};
    for (std::size_t y = 0; y < SIDE; ++y) {
        for (std::size_t x = 0; x < SIDE; ++x) {
            pixels[y * SIDE + x] = Colour(rows[y][x]);
        }
    }
    return pixels;
}

constexpr auto PIXELS = Pixels(ROWS);
constexpr auto PIXELS_16 = Pixels(ROWS_16);
constexpr auto PIXELS_24 = Pixels(ROWS_24);

}  // namespace

std::span<const std::uint32_t, ICON_SIZE * ICON_SIZE> AppIconPixels() {
    return PIXELS;
}

std::span<const std::uint32_t> HandDrawnIconPixels(std::size_t side) {
    switch (side) {
        case 16:
            return PIXELS_16;
        case 24:
            return PIXELS_24;
        case ICON_SIZE:
            return PIXELS;
        default:
            return {};
    }
}

}  // namespace res
