#pragma once

#include <functional>
#include <map>

#include "res/dialog_template.h"

#include "ui/qt/dialog_units.h"

class QAbstractButton;
class QWidget;

namespace dlg::qt {

// The widgets of a dialog, made from its template: each control by its identifier, and each
// widget's template.
struct TemplateControls {
    std::map<int, QWidget*> items;  // IDC_STATIC controls are not addressed
    std::map<QWidget*, const res::ControlTemplate*> templates;

    QWidget* Item(int id) const;
};

// Called for every button made, to connect its clicks.
using ConnectButton = std::function<void(QAbstractButton&, const res::ControlTemplate&)>;

// Makes the template's controls on the window, in template order (which is the tab order), at
// their places in its client area (its contentsRect()), with the template's styles.
TemplateControls CreateTemplateControls(QWidget& window, const res::DialogTemplate& layout,
                                        const BaseUnits& units, const ConnectButton& connect);

inline bool HasStyle(const res::ControlTemplate& control, std::uint32_t style) {
    return (control.style & style) != 0;
}

}  // namespace dlg::qt
