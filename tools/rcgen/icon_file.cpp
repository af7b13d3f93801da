#include "icon_file.h"

#include <cstddef>

#include "res/app_icon.h"

#include "png_file.h"

namespace rcgen {
namespace {

constexpr std::size_t HEADER_SIZE = 40;    // BITMAPINFOHEADER
constexpr std::size_t DIRECTORY_SIZE = 6;  // ICONDIR
constexpr std::size_t ENTRY_SIZE = 16;     // ICONDIRENTRY
// Images this large are stored as PNG files, as the system reads them since Windows Vista: an
// uncompressed bitmap of 256 x 256 pixels would be a quarter of a megabyte.
constexpr std::size_t PNG_FROM_SIDE = 256;

struct Image {
    std::size_t side;
    std::uint32_t bits;  // a pixel
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint8_t> png;  // the image as a PNG file, or empty for a bitmap and mask
};

// Rows of a device-independent bitmap are padded to whole 32-bit words.
std::size_t RowBytes(std::size_t bitsInRow) {
    return (bitsInRow + 31) / 32 * 4;
}

std::size_t PixelBytes(const Image& image) {
    return image.side * (RowBytes(image.side * image.bits) + RowBytes(image.side));
}

std::size_t StoredBytes(const Image& image) {
    return image.png.empty() ? HEADER_SIZE + PixelBytes(image) : image.png.size();
}

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

void PutEntry(std::vector<std::uint8_t>& out, const Image& image, std::size_t offset) {
    // A side of 256 is written as 0.
    out.push_back(static_cast<std::uint8_t>(image.side & 0xFF));
    out.push_back(static_cast<std::uint8_t>(image.side & 0xFF));
    out.push_back(0);  // no palette
    out.push_back(0);  // reserved
    Put16(out, 1);     // planes
    Put16(out, image.bits);
    Put32(out, static_cast<std::uint32_t>(StoredBytes(image)));
    Put32(out, static_cast<std::uint32_t>(offset));
}

void PutBitmapHeader(std::vector<std::uint8_t>& out, const Image& image) {
    const auto side = static_cast<std::uint32_t>(image.side);
    Put32(out, HEADER_SIZE);
    Put32(out, side);
    Put32(out, side * 2);  // the colour image and the mask, one above the other
    Put16(out, 1);
    Put16(out, image.bits);
    Put32(out, 0);  // uncompressed
    Put32(out, static_cast<std::uint32_t>(PixelBytes(image)));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
}

// Bottom row first, blue-green-red (and alpha); in 24 bits, transparent pixels are black, so the
// mask alone decides.
void PutColours(std::vector<std::uint8_t>& out, const Image& image) {
    for (std::size_t row = image.side; row-- > 0;) {
        const std::size_t rowEnd = out.size() + RowBytes(image.side * image.bits);
        for (std::size_t x = 0; x < image.side; ++x) {
            const std::uint32_t pixel = image.pixels[row * image.side + x];
            const std::uint32_t colour = image.bits == 24 && Transparent(pixel) ? 0 : pixel;
            for (std::uint32_t shift = 0; shift < image.bits; shift += 8) {
                out.push_back(static_cast<std::uint8_t>((colour >> shift) & 0xFF));
            }
        }
        out.resize(rowEnd, 0);
    }
}

// Bottom row first, the leftmost pixel in the highest bit; a set bit shows what lies beneath.
void PutMask(std::vector<std::uint8_t>& out, const Image& image) {
    for (std::size_t row = image.side; row-- > 0;) {
        for (std::size_t byte = 0; byte < RowBytes(image.side); ++byte) {
            unsigned bits = 0;
            for (std::size_t bit = 0; bit < 8; ++bit) {
                const std::size_t x = byte * 8 + bit;
                if (x < image.side && Transparent(image.pixels[row * image.side + x])) {
                    bits |= 0x80U >> bit;
                }
            }
            out.push_back(static_cast<std::uint8_t>(bits));
        }
    }
}

}  // namespace

std::vector<std::uint8_t> IconFile() {
    std::vector<Image> images;
    for (const std::size_t side : res::WINDOWS_ICON_SIZES) {
        Image image{side, side == res::ICON_SIZE ? 24U : 32U, res::AppIconImage(side), {}};
        if (side >= PNG_FROM_SIDE) {
            image.png = PngFile(side, image.pixels);
        }
        images.push_back(std::move(image));
    }
    std::vector<std::uint8_t> out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // an icon
    Put16(out, static_cast<std::uint32_t>(images.size()));
    std::size_t offset = DIRECTORY_SIZE + ENTRY_SIZE * images.size();
    for (const Image& image : images) {
        PutEntry(out, image, offset);
        offset += StoredBytes(image);
    }
    for (const Image& image : images) {
        if (!image.png.empty()) {
            out.insert(out.end(), image.png.begin(), image.png.end());
            continue;
        }
        PutBitmapHeader(out, image);
        PutColours(out, image);
        PutMask(out, image);
    }
    return out;
}

}  // namespace rcgen
