#pragma once

#include <QImage>

#include "res/app_icon.h"

// The application icon as an image, for the windows and for the icons the install rules draw.
inline QImage AppIconImage() {
    const int size = static_cast<int>(res::ICON_SIZE);
    QImage image(size, size, QImage::Format_ARGB32);
    const auto pixels = res::AppIconPixels();
    for (std::size_t y = 0; y < res::ICON_SIZE; ++y) {
        for (std::size_t x = 0; x < res::ICON_SIZE; ++x) {
            image.setPixel(static_cast<int>(x), static_cast<int>(y),
                           pixels[y * res::ICON_SIZE + x]);
        }
    }
    return image;
}
