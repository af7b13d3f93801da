// Writes the application icon's images at the sizes the Linux window carries
// (res::WINDOW_ICON_SIZES, in that order), drawn from the vector source, as the initialiser of
// one array of pixels: the program includes them and draws nothing at start.
// Usage: write_window_icons FILE
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>

#include "res/app_icon.h"

namespace {

void WritePixel(std::ofstream& out, std::uint32_t pixel) {
    std::array<char, 16> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), pixel, 16);
    out << "0x";
    out.write(digits.data(), written.ptr - digits.data());
    out << "U,";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        (void)std::fputs("usage: write_window_icons FILE\n", stderr);
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "// The window's icons, drawn by tools/window_icons/write_window_icons.cpp.\n";
    for (const std::size_t side : res::WINDOW_ICON_SIZES) {
        std::size_t column = 0;
        for (const std::uint32_t pixel : res::AppIconImage(side)) {
            WritePixel(out, pixel);
            out << (++column % 8 == 0 ? '\n' : ' ');
        }
    }
    if (!out.flush()) {
        (void)std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
