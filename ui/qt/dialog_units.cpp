#include "ui/qt/dialog_units.h"

namespace dlg {
namespace {

// a x b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

BaseUnits BaseUnitsFromFont(int alphabetWidth, int height) {
    return {(alphabetWidth / 26 + 1) / 2, height};
}

Rect MapDialogRect(const Rect& dialogUnits, const BaseUnits& units) {
    return {MulDiv(dialogUnits.left, units.x, 4), MulDiv(dialogUnits.top, units.y, 8),
            MulDiv(dialogUnits.right, units.x, 4), MulDiv(dialogUnits.bottom, units.y, 8)};
}

}  // namespace dlg
