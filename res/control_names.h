#pragma once

#include <string>
#include <string_view>

#include "res/dialog_template.h"

// What a control is called, from the templates alone: the name a sighted user reads beside a
// field, for the messages that name it and for assistive technology.
namespace res {

// The name a control's visible text gives: without mnemonic markers, without a label's closing
// colon, and without the blanks that only spread a few Chinese characters over the width of a
// column ("数    量：" is "数量", "关于 Trellan(&A)..." is "关于 Trellan(A)...").
std::string NameFromText(std::string_view text);

// The label of a field: the static text on its row that stands nearest to its left; nullptr
// when there is none. A label reads from the left: a right-aligned text (a figure, a column's
// heading) labels nothing.
const ControlTemplate* LabelOf(const DialogTemplate& dialog, const ControlTemplate& field);

// A figure is a static text the program fills in, right-aligned as numbers are. What it is called
// before its value: the label of its row and, in a column, the column's heading ("佣金 买入");
// empty for a control that is no figure or has no label.
std::string FigureName(const DialogTemplate& dialog, const ControlTemplate& figure);

// The name of the control with this identifier, after its label; empty when it has none.
std::string FieldName(const DialogTemplate& dialog, int id);

}  // namespace res
