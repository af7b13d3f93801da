#pragma once

class QAccessibleInterface;
class QLineEdit;

namespace dlg::qt {

// A read-only field holds a result: a screen reader reaches it by Tab and reads it as read-only
// text with a value, the number it shows. The result changes while the focus stays on the button
// that made it, so each change is also sent to assistive technology as a change of that value.
// Qt's own description of a field has no value, hence this one.
QAccessibleInterface* CreateReadOnlyFieldAccessible(QLineEdit* field);

// Sends every change of the field's text to assistive technology as a change of its value.
void AnnounceValueChanges(QLineEdit& field);

}  // namespace dlg::qt
