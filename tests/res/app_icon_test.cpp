#include "res/app_icon.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

int Alpha(std::uint32_t pixel) {
    return static_cast<int>(pixel >> 24);
}

// The largest image, shrunk by taking the centre of each 32nd of it, is the hand-drawn icon:
// the vector source and the pixels the templates show are one picture.
TEST(AppIcon, VectorSourceDrawsTheHandDrawnIcon) {
    const std::size_t side = 256;
    const std::size_t step = side / res::ICON_SIZE;
    const auto large = res::AppIconImage(side);
    const auto pixels = res::AppIconPixels();
    std::size_t same = 0;
    for (std::size_t y = 0; y < res::ICON_SIZE; ++y) {
        for (std::size_t x = 0; x < res::ICON_SIZE; ++x) {
            same += large[(y * step + step / 2) * side + x * step + step / 2] ==
                    pixels[y * res::ICON_SIZE + x];
        }
    }
    EXPECT_GE(same, res::ICON_SIZE * res::ICON_SIZE * 93 / 100);
}

// Every size fills its square: transparent corners, an opaque tile and, where it is drawn from
// the vector source, smoothed edges in between.
TEST(AppIcon, EverySizeIsTheTileWithSmoothEdges) {
    for (const std::size_t side : res::HICOLOR_ICON_SIZES) {
        SCOPED_TRACE(side);
        const auto image = res::AppIconImage(side);
        ASSERT_EQ(image.size(), side * side);
        EXPECT_EQ(Alpha(image.front()), 0);
        EXPECT_EQ(Alpha(image.back()), 0);
        EXPECT_EQ(Alpha(image[side / 2 * side + side / 8]), 0xFF);
        std::size_t partly = 0;
        for (const std::uint32_t pixel : image) {
            partly += Alpha(pixel) != 0 && Alpha(pixel) != 0xFF;
        }
        EXPECT_EQ(partly == 0, !res::HandDrawnIconPixels(side).empty());
    }
}

// Drawn on the pixel grid, the small images keep the rising line and its arrowhead apart from
// the bars: no red pixel touches a gold one, not even at a corner.
TEST(AppIcon, SmallSizesKeepTheArrowClearOfTheBars) {
    constexpr std::uint32_t RED = 0xFFE0483E, GOLD = 0xFFF2B632;
    for (const std::size_t side : {16U, 24U}) {
        const auto image = res::AppIconImage(side);
        const auto at = [&](std::size_t x, std::size_t y) { return image[y * side + x]; };
        std::size_t red = 0, touching = 0;
        for (std::size_t y = 1; y + 1 < side; ++y) {
            for (std::size_t x = 1; x + 1 < side; ++x) {
                if (at(x, y) != RED) {
                    continue;
                }
                ++red;
                for (std::size_t i = 0; i < 9; ++i) {
                    touching += at(x + i % 3 - 1, y + i / 3 - 1) == GOLD;
                }
            }
        }
        EXPECT_GE(red, side) << side;  // a line from side to side, and its head
        EXPECT_EQ(touching, 0U) << side;
    }
}

// Pixel for pixel, each size as it is drawn (a digest of its pixels; 16 and 24 by hand): the
// drawing may skip the sample points a shape cannot reach, never change a pixel.
TEST(AppIcon, EverySizeKeepsItsPixels) {
    struct Drawn {
        std::size_t side;
        std::uint64_t digest;
    };
    constexpr std::array<Drawn, 7> DRAWN{{{16, 0x32c9eaf271934721ULL},
                                          {24, 0x31c5b4b118cd2f98ULL},
                                          {32, 0x00480f976923ba9dULL},
                                          {48, 0x11a564e9341a2192ULL},
                                          {64, 0xda75b4e662283c88ULL},
                                          {128, 0x2a606c5d73d2a9f8ULL},
                                          {256, 0x0dd708230f94fba2ULL}}};
    for (const auto& [side, digest] : DRAWN) {
        std::uint64_t fnv = 14695981039346656037ULL;
        for (const std::uint32_t pixel : res::AppIconImage(side)) {
            fnv = (fnv ^ pixel) * 1099511628211ULL;
        }
        EXPECT_EQ(fnv, digest) << side;
    }
}

}  // namespace
