#pragma once

#include <cstdint>
#include <vector>

namespace rcgen {

// The application icon as an .ico file with an image for each of res::WINDOWS_ICON_SIZES, as
// res::AppIconImage draws it: the 32-pixel one as the templates have it, 24 bits a pixel; the
// others 32 bits a pixel. Each has its AND mask set where the pixels are transparent; the
// 256-pixel image is a PNG file instead, which has its own alpha.
std::vector<std::uint8_t> IconFile();

}  // namespace rcgen
