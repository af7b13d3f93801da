#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

// How well text reads against its background, from the pixels (0xRRGGBB, higher bits ignored) of
// the box that shows it: the background is the luminance most pixels have, the text the pixel
// that stands out most from it. WCAG's contrast ratio: 1 (none, or no pixels) to 21 (black on
// white); body text wants 4.5 or more.
namespace gui {

inline double TextContrast(const std::vector<std::uint32_t>& pixels) {
    std::map<double, int> counts;  // by WCAG's relative luminance, plus the ratio's 0.05 of flare
    for (const std::uint32_t rgb : pixels) {
        double luminance = 0.05;
        for (const auto& [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
            const double value = static_cast<double>((rgb >> shift) & 0xFFU) / 255.0;
            luminance += weight * (value <= 0.03928 ? value / 12.92
                                                    : std::pow((value + 0.055) / 1.055, 2.4));
        }
        ++counts[luminance];
    }
    if (counts.empty()) {
        return 1;
    }
    const double background = std::max_element(counts.begin(), counts.end(), [](auto a, auto b) {
                                  return a.second < b.second;
                              })->first;
    return std::max(background / counts.begin()->first, counts.rbegin()->first / background);
}

}  // namespace gui
