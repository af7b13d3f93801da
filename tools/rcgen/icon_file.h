#pragma once

#include <cstdint>
#include <vector>

namespace rcgen {

// The application icon as an .ico file with an image for each of res::WINDOWS_ICON_SIZES: the
// 32-pixel one as the templates have it, 24 bits a pixel; the others drawn from the vector
// source, 32 bits a pixel with their smoothed edges. Each has its AND mask set where the pixels
// are transparent.
std::vector<std::uint8_t> IconFile();

}  // namespace rcgen
