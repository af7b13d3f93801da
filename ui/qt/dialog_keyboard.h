#pragma once

#include <vector>

#include "res/dialog_template.h"

#include "ui/qt/template_controls.h"

class QAbstractButton;
class QWidget;

namespace dlg::qt {

// The keyboard as the platform's dialog manager has it: Tab and Shift+Tab through the tab stops
// in template order, a radio group being one stop entered at its checked button; the arrow keys
// round a radio group; Enter for the focused button, else the default button, else OK.
class DialogKeyboard {
  public:
    DialogKeyboard(const res::DialogTemplate& layout, const TemplateControls& controls)
        : m_layout(layout), m_controls(controls) {}

    // Checks button and clears the rest of its group.
    void ClickRadio(QAbstractButton* button) const;
    // Moves to the next (step +1) or previous (-1) button of button's group and clicks it;
    // false when button is in no group.
    bool MoveWithinRadioGroup(QAbstractButton* button, int step) const;
    void MoveToNextTabStop(QWidget* focus, bool next) const;
    // The command Enter gives when no push button has the focus.
    int EnterCommand() const;

  private:
    std::vector<QAbstractButton*> GroupOf(QAbstractButton* button) const;
    std::vector<QWidget*> TabStops() const;

    const res::DialogTemplate& m_layout;
    const TemplateControls& m_controls;
};

}  // namespace dlg::qt
