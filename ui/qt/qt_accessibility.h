#pragma once

#include <map>

#include <QString>

#include "res/dialog_template.h"

class QWidget;

namespace dlg::qt {

// The name assistive technology gives a control whose visible text is this: without mnemonic
// markers, without a label's closing colon, and without the blanks that only spread a few
// Chinese characters over the width of a column ("数    量" is read as "数量").
QString AccessibleNameFromText(const QString& text);

// Names each field after the label that stands on its row, left of it: what a sighted user
// reads beside it.
void NameFieldsAfterTheirLabels(const std::map<QWidget*, const res::ControlTemplate*>& controls);

// Accessible interfaces for the widgets that Qt's own would describe wrongly here. Installed
// once, before any window is shown.
void InstallAccessibleInterfaces();

}  // namespace dlg::qt
