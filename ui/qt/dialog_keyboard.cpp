#include "ui/qt/dialog_keyboard.h"

#include <algorithm>

#include <QAbstractButton>
#include <QWidget>

#include "ui/framework/dialog.h"

namespace dlg::qt {

std::vector<QAbstractButton*> DialogKeyboard::GroupOf(QAbstractButton* button) const {
    std::vector<QAbstractButton*> group;
    const auto control = m_controls.templates.find(button);
    if (control != m_controls.templates.end()) {
        for (const int id : RadioGroupOf(m_layout, control->second->id)) {
            group.push_back(qobject_cast<QAbstractButton*>(m_controls.Item(id)));
        }
    }
    return group;
}

void DialogKeyboard::ClickRadio(QAbstractButton* button) const {
    for (QAbstractButton* other : GroupOf(button)) {
        other->setChecked(other == button);
    }
}

bool DialogKeyboard::MoveWithinRadioGroup(QAbstractButton* button, int step) const {
    const std::vector<QAbstractButton*> group = GroupOf(button);
    const auto at = std::find(group.begin(), group.end(), button);
    if (at == group.end()) {
        return false;
    }
    const auto count = static_cast<long>(group.size());
    const long next = ((at - group.begin()) + step + count) % count;
    QAbstractButton* target = group[static_cast<std::size_t>(next)];
    target->setFocus(Qt::OtherFocusReason);
    target->click();
    return true;
}

// The stop of a radio group is its checked button, or its first when none is checked.
std::vector<QWidget*> DialogKeyboard::TabStops() const {
    std::vector<QWidget*> stops;
    for (const res::ControlTemplate& control : m_layout.controls) {
        QWidget* widget = m_controls.Item(control.id);
        if (widget == nullptr || !HasStyle(control, res::STYLE_TABSTOP) || !widget->isEnabled() ||
            !widget->isVisible()) {
            continue;
        }
        if (auto* radio = qobject_cast<QAbstractButton*>(widget)) {
            const std::vector<QAbstractButton*> group = GroupOf(radio);
            const auto checked = std::find_if(
                group.begin(), group.end(), [](const auto* button) { return button->isChecked(); });
            if (checked != group.end()) {
                widget = *checked;
            }
        }
        stops.push_back(widget);
    }
    return stops;
}

void DialogKeyboard::MoveToNextTabStop(QWidget* focus, bool next) const {
    const std::vector<QWidget*> stops = TabStops();
    if (stops.empty()) {
        return;
    }
    // A button of a radio group stands where the group's stop stands.
    if (auto* radio = qobject_cast<QAbstractButton*>(focus)) {
        for (QAbstractButton* member : GroupOf(radio)) {
            if (std::find(stops.begin(), stops.end(), member) != stops.end()) {
                focus = member;
            }
        }
    }
    const auto count = static_cast<long>(stops.size());
    const auto at = std::find(stops.begin(), stops.end(), focus);
    long index = next ? 0 : count - 1;
    if (at != stops.end()) {
        index = ((at - stops.begin()) + (next ? 1 : -1) + count) % count;
    }
    QWidget* target = stops[static_cast<std::size_t>(index)];
    // A field reached so has its whole text selected (Qt's own rule for these reasons).
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

int DialogKeyboard::EnterCommand() const {
    const auto defaultButton = std::find_if(
        m_layout.controls.begin(), m_layout.controls.end(),
        [](const auto& control) { return control.kind == res::ControlKind::DefaultPushButton; });
    return defaultButton != m_layout.controls.end() ? defaultButton->id : RESULT_OK;
}

}  // namespace dlg::qt
