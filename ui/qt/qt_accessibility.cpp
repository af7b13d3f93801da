#include "ui/qt/qt_accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include "res/control_names.h"

#include "ui/qt/qt_resources.h"
#include "ui/qt/read_only_field_accessible.h"

namespace dlg::qt {
namespace {

// Our radio buttons keep their group's exclusivity themselves (so that none need be checked),
// and Qt then calls them check boxes, which tells a screen reader user that any number of
// them may be chosen. This one says radio button and otherwise behaves as Qt's own.
class RadioButtonAccessible final : public QAccessibleWidget {
  public:
    explicit RadioButtonAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text kind) const override {
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty()) {
            text = AccessibleNameFromText(Button()->text());
        }
        return text;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button()->isChecked();
        state.pressed = Button()->isDown();
        return state;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled()) {
            names << toggleAction();
        }
        names << QAccessibleWidget::actionNames();
        return names;
    }

    void doAction(const QString& action) override {
        if (action != toggleAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (widget()->isEnabled()) {
            // As Qt's buttons do: the request returns before the click is handled.
            Button()->animateClick();
        }
    }

  private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* CreateAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("QRadioButton") && object != nullptr && object->isWidgetType()) {
        return new RadioButtonAccessible(static_cast<QRadioButton*>(object));
    }
    if (className == QLatin1String("QLineEdit") && object != nullptr && object->isWidgetType() &&
        static_cast<QLineEdit*>(object)->isReadOnly()) {
        return CreateReadOnlyFieldAccessible(static_cast<QLineEdit*>(object));
    }
    return nullptr;
}

}  // namespace

QString AccessibleNameFromText(const QString& text) {
    return ToQString(res::NameFromText(text.toStdString()));
}

void NameFieldsAfterTheirLabels(const res::DialogTemplate& layout,
                                const TemplateControls& controls) {
    for (const res::ControlTemplate& control : layout.controls) {
        QWidget* field = controls.Item(control.id);
        if (control.kind == res::ControlKind::Edit && field != nullptr) {
            field->setAccessibleName(ToQString(res::FieldName(layout, control.id)));
        } else if (auto* figure = qobject_cast<QLabel*>(field)) {
            NameFigure(*figure, layout, control.id);
        }
    }
}

void NameFigure(QLabel& figure, const res::DialogTemplate& layout, int id) {
    for (const res::ControlTemplate& control : layout.controls) {
        const QString name =
            control.id == id ? ToQString(res::FigureName(layout, control)) : QString();
        if (!name.isEmpty()) {
            figure.setAccessibleName(
                figure.text().isEmpty() ? name : name + QLatin1Char(' ') + figure.text());
        }
    }
}

void InstallAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(&CreateAccessible);
        return true;
    }();
    static_cast<void>(installed);
}

}  // namespace dlg::qt
