#pragma once

#include "ui/framework/messages.h"

namespace dlg {

// Dialog base units, derived from the dialog font as the platform's dialog manager does it.
struct BaseUnits {
    int x = 0;
    int y = 0;
};

// alphabetWidth: the width of "A".."Z" followed by "a".."z"; height: the font's line height.
BaseUnits BaseUnitsFromFont(int alphabetWidth, int height);

// Dialog units to pixels: x by base x / 4, y by base y / 8, rounded.
Rect MapDialogRect(const Rect& dialogUnits, const BaseUnits& units);

}  // namespace dlg
