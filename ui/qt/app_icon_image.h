#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include <QImage>

#include "res/app_icon.h"

// side x side pixels of the application icon (0xAARRGGBB, top row first) as an image.
inline QImage IconImageOf(std::span<const std::uint32_t> pixels, std::size_t side) {
    const int length = static_cast<int>(side);
    QImage image(length, length, QImage::Format_ARGB32);
    for (int y = 0; y < length; ++y) {
        std::memcpy(image.scanLine(y), pixels.subspan(static_cast<std::size_t>(y) * side).data(),
                    side * sizeof(std::uint32_t));
    }
    return image;
}

// The application icon as an image of side x side pixels, drawn now, for the icons the install
// rules draw.
inline QImage AppIconImage(std::size_t side = res::ICON_SIZE) {
    return IconImageOf(res::AppIconImage(side), side);
}
