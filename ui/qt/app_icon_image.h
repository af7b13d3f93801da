#pragma once

#include <cstddef>
#include <cstring>

#include <QImage>

#include "res/app_icon.h"

// The application icon as an image of side x side pixels, for the windows and for the icons the
// install rules draw.
inline QImage AppIconImage(std::size_t side = res::ICON_SIZE) {
    const auto pixels = res::AppIconImage(side);
    const int length = static_cast<int>(side);
    QImage image(length, length, QImage::Format_ARGB32);
    for (int y = 0; y < length; ++y) {
        std::memcpy(image.scanLine(y), pixels.data() + static_cast<std::size_t>(y) * side,
                    side * sizeof(std::uint32_t));
    }
    return image;
}
