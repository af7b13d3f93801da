#pragma once

// Where the icon of a minimised window is drawn: centred, rounding as integer division does.
struct IconPosition {
    int x;
    int y;
};

constexpr IconPosition CentreIcon(int clientWidth, int clientHeight, int iconWidth,
                                  int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
