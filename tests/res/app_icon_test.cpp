#include "res/app_icon.h"

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

// Every size fills its square: transparent corners, an opaque tile, smoothed edges in between.
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
        EXPECT_EQ(partly == 0, side == res::ICON_SIZE);
    }
}

}  // namespace
