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

constexpr std::array<std::uint32_t, ICON_SIZE * ICON_SIZE> Pixels() {
    std::array<std::uint32_t, ICON_SIZE * ICON_SIZE> pixels{};
    for (std::size_t y = 0; y < ICON_SIZE; ++y) {
        for (std::size_t x = 0; x < ICON_SIZE; ++x) {
            pixels[y * ICON_SIZE + x] = Colour(ROWS[y][x]);
        }
    }
    return pixels;
}

constexpr std::array<std::uint32_t, ICON_SIZE* ICON_SIZE> PIXELS = Pixels();

}  // namespace

std::span<const std::uint32_t, ICON_SIZE * ICON_SIZE> AppIconPixels() {
    return PIXELS;
}

}  // namespace res
