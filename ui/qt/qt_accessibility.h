#pragma once

#include <QString>

#include "res/dialog_template.h"

#include "ui/qt/template_controls.h"

class QLabel;

namespace dlg::qt {

// The name assistive technology gives a control whose visible text is this (res::NameFromText).
QString AccessibleNameFromText(const QString& text);

// Names each field after the label that stands on its row, left of it: what a sighted user
// reads beside it, and what the messages about the field call it (res::FieldName).
void NameFieldsAfterTheirLabels(const res::DialogTemplate& layout,
                                const TemplateControls& controls);

// Names a figure after its row and its column, then its value ("佣金 买入 5.00", after
// res::FigureName); called again whenever the value changes. A figure only.
void NameFigure(QLabel& figure, const res::DialogTemplate& layout, int id);

// Accessible interfaces for the widgets that Qt's own would describe wrongly here. Installed
// once, before any window is shown.
void InstallAccessibleInterfaces();

}  // namespace dlg::qt
