#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <span>

// How well text reads against its background, from the pixels of the box that shows it: the
// background is the colour most pixels have, the text the pixel that stands out most from it.
// WCAG's contrast ratio: 1 (none) to 21 (black on white); body text wants 4.5 or more.
namespace gui {

inline double RelativeLuminance(std::uint32_t rgb) {
    const auto channel = [rgb](int shift) {
        const double value = static_cast<double>((rgb >> shift) & 0xFFU) / 255.0;
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(16) + 0.7152 * channel(8) + 0.0722 * channel(0);
}

inline double ContrastRatio(std::uint32_t a, std::uint32_t b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Pixels as 0xRRGGBB (any higher bits ignored); 1 when there is nothing but background.
inline double TextContrast(std::span<const std::uint32_t> pixels) {
    std::map<std::uint32_t, int> counts;
    for (const std::uint32_t pixel : pixels) {
        ++counts[pixel & 0xFFFFFFU];
    }
    if (counts.empty()) {
        return 1;
    }
    const std::uint32_t background =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        })->first;
    double best = 1;
    for (const auto& [colour, count] : counts) {
        best = std::max(best, ContrastRatio(colour, background));
    }
    return best;
}

}  // namespace gui
