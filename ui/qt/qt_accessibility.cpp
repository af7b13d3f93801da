#include "ui/qt/qt_accessibility.h"

#include <cstdlib>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QRadioButton>
#include <QWidget>

#include "ui/qt/qt_resources.h"

namespace dlg::qt {
namespace {

constexpr QChar FULL_WIDTH_COLON{0xFF1A};
// A label stands on a field's row when their tops are this close, in dialog units.
constexpr int SAME_ROW = 4;
// From here up, characters are CJK (radicals, kana, ideographs, full-width forms): a blank
// between two of them is spacing, not a word break.
constexpr char16_t FIRST_WIDE = 0x2E80;

bool IsWide(QChar character) {
    return character.unicode() >= FIRST_WIDE;
}

QString WithoutMnemonic(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == QLatin1Char('&') && at + 1 < text.size()) {
            ++at;  // "&&" is a literal ampersand; "&x" marks x
        }
        plain.append(text[at]);
    }
    return plain;
}

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
            text = WithoutMnemonic(Button()->text());
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
    return nullptr;
}

}  // namespace

QString AccessibleNameFromText(const QString& text) {
    QString source = WithoutMnemonic(text);
    source.remove(FULL_WIDTH_COLON);
    source = source.trimmed();
    QString name;
    name.reserve(source.size());
    for (qsizetype at = 0; at < source.size(); ++at) {
        if (source[at].isSpace() && !name.isEmpty() && IsWide(name.back())) {
            qsizetype next = at;
            while (next < source.size() && source[next].isSpace()) {
                ++next;
            }
            if (next < source.size() && IsWide(source[next])) {
                at = next - 1;
                continue;
            }
        }
        name.append(source[at]);
    }
    return name;
}

void NameFieldsAfterTheirLabels(const std::map<QWidget*, const res::ControlTemplate*>& controls) {
    for (const auto& [widget, control] : controls) {
        if (control->kind != res::ControlKind::Edit) {
            continue;
        }
        const res::ControlTemplate* label = nullptr;
        for (const auto& [other, candidate] : controls) {
            if (candidate->kind == res::ControlKind::Text && candidate->x < control->x &&
                std::abs(candidate->y - control->y) <= SAME_ROW &&
                (label == nullptr || candidate->x > label->x)) {
                label = candidate;
            }
        }
        if (label != nullptr) {
            widget->setAccessibleName(AccessibleNameFromText(ToQString(label->text)));
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
