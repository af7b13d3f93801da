#include "ui/qt/template_controls.h"

#include <vector>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "res/app_icon.h"
#include "res/control_names.h"
#include "res/resource_ids.h"

#include "ui/framework/backend.h"
#include "ui/framework/dialog.h"
#include "ui/qt/app_icon_view.h"
#include "ui/qt/flat_button.h"
#include "ui/qt/qt_accessibility.h"
#include "ui/qt/qt_resources.h"
#include "ui/qt/read_only_field_accessible.h"

namespace dlg::qt {
namespace {

QWidget* CreateWidget(QWidget& window, const res::ControlTemplate& control,
                      const ConnectButton& connect) {
    QWidget* parent = &window;
    const QString text = ToQString(control.text);
    switch (control.kind) {
        case res::ControlKind::Edit: {
            auto* field = new QLineEdit(parent);
            field->setFrame(HasStyle(control, res::STYLE_BORDER));
            // A disabled field holds a result: drawn greyed it would be the faintest text on
            // screen, so it is shown read-only instead, in the text colour, selectable and
            // copyable, and reached by Tab, where a screen reader reads it.
            if (HasStyle(control, res::STYLE_DISABLED)) {
                field->setReadOnly(true);
                AnnounceValueChanges(*field);
            }
            return field;
        }
        case res::ControlKind::PushButton:
        case res::ControlKind::DefaultPushButton: {
            auto* button = HasStyle(control, res::STYLE_BUTTON_FLAT)
                               ? new FlatButton(text, parent)
                               : new QPushButton(text, parent);
            button->setAutoDefault(false);
            button->setDefault(control.kind == res::ControlKind::DefaultPushButton);
            connect(*button, control);
            return button;
        }
        case res::ControlKind::AutoRadioButton: {
            auto* button = new QRadioButton(text, parent);
            // Exclusivity is kept per template group, as the platform does, so that "none checked"
            // can be shown.
            button->setAutoExclusive(false);
            connect(*button, control);
            return button;
        }
        case res::ControlKind::AutoCheckBox: {
            auto* box = new QCheckBox(text, parent);
            connect(*box, control);
            return box;
        }
        case res::ControlKind::Text: {
            // As the platform's static texts: from the top, wrapped at words where a line is too
            // short (a text as high as two lines shows the second).
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(
                (HasStyle(control, res::STYLE_STATIC_RIGHT) ? Qt::AlignRight : Qt::AlignLeft) |
                Qt::AlignTop);
            label->setWordWrap(true);
            return label;
        }
        case res::ControlKind::Icon:
            return new AppIconView(parent);
        case res::ControlKind::GroupBox:
            return new QGroupBox(text, parent);
    }
    return nullptr;
}

bool TakesFocus(res::ControlKind kind) {
    return kind == res::ControlKind::Edit || kind == res::ControlKind::PushButton ||
           kind == res::ControlKind::DefaultPushButton ||
           kind == res::ControlKind::AutoRadioButton || kind == res::ControlKind::AutoCheckBox;
}

void Place(QWidget& widget, const QWidget& window, const res::ControlTemplate& control,
           const BaseUnits& units) {
    const Rect area = MapDialogRect(
        {control.x, control.y, control.x + control.cx, control.y + control.cy}, units);
    widget.setGeometry(QRect(area.left, area.top, area.Width(), area.Height())
                           .translated(window.contentsRect().topLeft()));
    if (control.kind == res::ControlKind::Icon) {
        widget.resize(static_cast<int>(res::ICON_SIZE), static_cast<int>(res::ICON_SIZE));
    }
}

void ApplyStyles(QWidget& widget, const res::ControlTemplate& control) {
    const bool readOnlyField =
        control.kind == res::ControlKind::Edit && HasStyle(control, res::STYLE_DISABLED);
    widget.setEnabled(readOnlyField || !HasStyle(control, res::STYLE_DISABLED));
    if (!control.idName.empty()) {
        widget.setObjectName(ToQString(control.idName));
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setAccessibleName(AccessibleNameFromText(button->text()));
    }
    if (!control.accessibleName.empty()) {
        widget.setAccessibleName(ToQString(control.accessibleName));
    }
    if (!control.description.empty()) {
        widget.setAccessibleDescription(ToQString(control.description));
        widget.setToolTip(ToQString(control.description));
    }
    if (TakesFocus(control.kind)) {
        widget.setFocusPolicy(HasStyle(control, res::STYLE_TABSTOP) ? Qt::StrongFocus
                                                                    : Qt::ClickFocus);
    }
}

// A radio group with a label on its row is one named whole to assistive technology: its buttons
// stand in an unframed panel named after the label ("证交所"), which a screen reader names as the
// user moves into the group.
void NameRadioGroups(QWidget& window, const res::DialogTemplate& layout,
                     const TemplateControls& controls) {
    for (const res::ControlTemplate& control : layout.controls) {
        const res::ControlTemplate* label = res::LabelOf(layout, control);
        if (control.kind != res::ControlKind::AutoRadioButton ||
            !HasStyle(control, res::STYLE_GROUP) || label == nullptr) {
            continue;
        }
        std::vector<QWidget*> buttons;
        QRect area;
        for (const int id : RadioGroupOf(layout, control.id)) {
            buttons.push_back(controls.Item(id));
            area |= buttons.back()->geometry();
        }
        auto* group = new QWidget(&window);
        group->setAccessibleName(ToQString(res::NameFromText(label->text)));
        group->setGeometry(area);
        for (QWidget* button : buttons) {
            const QRect place = button->geometry().translated(-area.topLeft());
            button->setParent(group);
            button->setGeometry(place);
            button->show();  // as it would be with the window, had it not moved
        }
    }
}

}  // namespace

QWidget* TemplateControls::Item(int id) const {
    const auto found = items.find(id);
    return found == items.end() ? nullptr : found->second;
}

TemplateControls CreateTemplateControls(QWidget& window, const res::DialogTemplate& layout,
                                        const BaseUnits& units, const ConnectButton& connect) {
    TemplateControls controls;
    QWidget* lastTabStop = nullptr;
    QWidget* groupBox = nullptr;
    for (const res::ControlTemplate& control : layout.controls) {
        QWidget* widget = CreateWidget(window, control, connect);
        Place(*widget, window, control, units);
        ApplyStyles(*widget, control);
        if (HasStyle(control, res::STYLE_TABSTOP)) {
            if (lastTabStop != nullptr) {
                QWidget::setTabOrder(lastTabStop, widget);
            }
            lastTabStop = widget;
        }
        if (control.kind == res::ControlKind::GroupBox) {
            groupBox = widget;
        }
        controls.templates[widget] = &control;
        if (control.id != res::IDC_STATIC) {
            controls.items[control.id] = widget;
        }
    }
    // A frame lies behind the controls it surrounds, whatever its place in the template.
    if (groupBox != nullptr) {
        groupBox->lower();
    }
    NameFieldsAfterTheirLabels(layout, controls);
    NameRadioGroups(window, layout, controls);
    return controls;
}

}  // namespace dlg::qt
