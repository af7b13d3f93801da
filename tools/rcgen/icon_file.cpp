#include "icon_file.h"

#include <cstddef>

#include "res/app_icon.h"

namespace rcgen {
namespace {

constexpr std::size_t SIDE = res::ICON_SIZE;
constexpr std::size_t BYTES_PER_PIXEL = 3;
// Rows of a device-independent bitmap are padded to whole 32-bit words.
constexpr std::size_t COLOUR_ROW = (SIDE * BYTES_PER_PIXEL + 3) / 4 * 4;
constexpr std::size_t MASK_ROW = (SIDE / 8 + 3) / 4 * 4;
constexpr std::size_t HEADER_SIZE = 40;  // BITMAPINFOHEADER
constexpr std::size_t IMAGE_SIZE = HEADER_SIZE + SIDE * COLOUR_ROW + SIDE * MASK_ROW;
constexpr std::size_t DIRECTORY_SIZE = 6 + 16;  // ICONDIR and one ICONDIRENTRY

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

bool Transparent(std::uint32_t pixel) {
    return (pixel >> 24) == 0;
}

void PutDirectory(std::vector<std::uint8_t>& out) {
    Put16(out, 0);  // reserved
    Put16(out, 1);  // an icon
    Put16(out, 1);  // one image
    out.push_back(static_cast<std::uint8_t>(SIDE));
    out.push_back(static_cast<std::uint8_t>(SIDE));
    out.push_back(0);  // no palette
    out.push_back(0);  // reserved
    Put16(out, 1);     // planes
    Put16(out, 24);    // bits a pixel
    Put32(out, static_cast<std::uint32_t>(IMAGE_SIZE));
    Put32(out, static_cast<std::uint32_t>(DIRECTORY_SIZE));
}

void PutBitmapHeader(std::vector<std::uint8_t>& out) {
    Put32(out, HEADER_SIZE);
    Put32(out, SIDE);
    Put32(out, SIDE * 2);  // the colour image and the mask, one above the other
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // uncompressed
    Put32(out, static_cast<std::uint32_t>(SIDE * COLOUR_ROW + SIDE * MASK_ROW));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
}

// Bottom row first, blue-green-red; transparent pixels are black, so the mask alone decides.
void PutColours(std::vector<std::uint8_t>& out) {
    const auto pixels = res::AppIconPixels();
    for (std::size_t row = SIDE; row-- > 0;) {
        for (std::size_t x = 0; x < SIDE; ++x) {
            const std::uint32_t pixel = pixels[row * SIDE + x];
            const std::uint32_t colour = Transparent(pixel) ? 0 : pixel;
            out.push_back(static_cast<std::uint8_t>(colour & 0xFF));
            out.push_back(static_cast<std::uint8_t>((colour >> 8) & 0xFF));
            out.push_back(static_cast<std::uint8_t>((colour >> 16) & 0xFF));
        }
        out.insert(out.end(), COLOUR_ROW - SIDE * BYTES_PER_PIXEL, 0);
    }
}

// Bottom row first, the leftmost pixel in the highest bit; a set bit shows what lies beneath.
void PutMask(std::vector<std::uint8_t>& out) {
    const auto pixels = res::AppIconPixels();
    for (std::size_t row = SIDE; row-- > 0;) {
        for (std::size_t byte = 0; byte < MASK_ROW; ++byte) {
            unsigned bits = 0;
            for (std::size_t bit = 0; bit < 8; ++bit) {
                const std::size_t x = byte * 8 + bit;
                if (x < SIDE && Transparent(pixels[row * SIDE + x])) {
                    bits |= 0x80U >> bit;
                }
            }
            out.push_back(static_cast<std::uint8_t>(bits));
        }
    }
}

}  // namespace

std::vector<std::uint8_t> IconFile() {
    std::vector<std::uint8_t> out;
    out.reserve(DIRECTORY_SIZE + IMAGE_SIZE);
    PutDirectory(out);
    PutBitmapHeader(out);
    PutColours(out);
    PutMask(out);
    return out;
}

}  // namespace rcgen
