#include "ui/qt/template_controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "res/app_icon.h"
#include "res/resource_ids.h"

#include "ui/framework/backend.h"
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
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            if (HasStyle(control, res::STYLE_STATIC_RIGHT)) {
                label->setAlignment(Qt::AlignRight | Qt::AlignTop);
            }
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
    }
    if (TakesFocus(control.kind)) {
        widget.setFocusPolicy(HasStyle(control, res::STYLE_TABSTOP) ? Qt::StrongFocus
                                                                    : Qt::ClickFocus);
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
    return controls;
}

}  // namespace dlg::qt
