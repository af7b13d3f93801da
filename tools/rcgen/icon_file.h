#pragma once

#include <cstdint>
#include <vector>

namespace rcgen {

// The application icon as an .ico file: one 32 x 32 image, 24 bits a pixel, with the AND mask
// set where the pixels are transparent.
std::vector<std::uint8_t> IconFile();

}  // namespace rcgen
