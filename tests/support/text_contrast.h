#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

// How well text reads against its background, from the pixels (0xRRGGBB, higher bits ignored) of
// the box that shows it: the background is the colour most pixels have, the text the pixel that
// stands out most from it. WCAG's contrast ratio: 1 (none, or no text) to 21 (black on white);
// body text wants 4.5 or more.
namespace gui {

inline double TextContrast(const std::vector<std::uint32_t>& pixels) {
    // WCAG's relative luminance, plus the 0.05 of the ratio's flare.
    const auto luminance = [](std::uint32_t rgb) {
        double sum = 0.05;
        for (const auto& [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
            const double value = static_cast<double>((rgb >> shift) & 0xFFU) / 255.0;
            sum += weight *
                   (value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    std::map<std::uint32_t, int> counts;
    for (const std::uint32_t pixel : pixels) {
        ++counts[pixel & 0xFFFFFFU];
    }
    const auto background =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    double best = 1;
    for (const auto& [colour, count] : counts) {
        const double ratio = luminance(colour) / luminance(background->first);
        best = std::max({best, ratio, 1 / ratio});
    }
    return best;
}

}  // namespace gui
