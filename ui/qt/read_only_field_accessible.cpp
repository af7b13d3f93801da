#include "ui/qt/read_only_field_accessible.h"

#include <limits>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>

namespace dlg::qt {
namespace {

class ReadOnlyFieldAccessible final : public QAccessibleWidget,
                                      public QAccessibleTextInterface,
                                      public QAccessibleValueInterface {
  public:
    explicit ReadOnlyFieldAccessible(QLineEdit* field)
        : QAccessibleWidget(field, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? Field()->text() : QAccessibleWidget::text(kind);
    }

    // The text, read as a line edit offers it.
    QString text(int start, int end) const override {
        return Field()->text().mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(Field()->text().size()); }
    int cursorPosition() const override { return Field()->cursorPosition(); }
    void setCursorPosition(int position) override { Field()->setCursorPosition(position); }
    int selectionCount() const override { return Field()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && Field()->hasSelectedText()) {
            *start = Field()->selectionStart();
            *end = *start + Field()->selectionLength();
        }
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int /*index*/) override { Field()->deselect(); }
    void setSelection(int /*index*/, int start, int end) override {
        Field()->setSelection(start, end - start);
    }
    int offsetAtPoint(const QPoint& point) const override {
        return Field()->cursorPositionAt(Field()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int /*end*/) override { Field()->setCursorPosition(start); }
    QString attributes(int /*offset*/, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
    // Measured from the cursor, which the field places: the text before the offset, after it.
    QRect characterRect(int offset) const override {
        const QString shown = Field()->text();
        if (offset < 0 || offset >= shown.size()) {
            return {};
        }
        const QFontMetrics metrics(Field()->font());
        const QRect cursor = Field()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int cursorAt = Field()->cursorPosition();
        const int x =
            offset >= cursorAt
                ? cursor.left() + metrics.horizontalAdvance(shown.mid(cursorAt, offset - cursorAt))
                : cursor.left() - metrics.horizontalAdvance(shown.mid(offset, cursorAt - offset));
        const QRect character(x, cursor.top(), metrics.horizontalAdvance(shown.at(offset)),
                              cursor.height());
        return character.translated(Field()->mapToGlobal(QPoint(0, 0)));
    }

    // The number shown, or none (NaN) while the field shows no number; it cannot be set.
    QVariant currentValue() const override {
        bool isNumber = false;
        const double value = Field()->text().toDouble(&isNumber);
        return isNumber ? value : std::numeric_limits<double>::quiet_NaN();
    }
    void setCurrentValue(const QVariant& /*value*/) override {}
    QVariant maximumValue() const override { return currentValue(); }
    QVariant minimumValue() const override { return currentValue(); }
    QVariant minimumStepSize() const override { return 0.0; }

  private:
    QLineEdit* Field() const { return static_cast<QLineEdit*>(widget()); }
};

}  // namespace

QAccessibleInterface* CreateReadOnlyFieldAccessible(QLineEdit* field) {
    return new ReadOnlyFieldAccessible(field);
}

void AnnounceValueChanges(QLineEdit& field) {
    QObject::connect(&field, &QLineEdit::textChanged, &field, [field = &field] {
        if (QAccessible::isActive()) {
            QAccessibleValueChangeEvent event(field, field->text());
            QAccessible::updateAccessibility(&event);
        }
    });
}

}  // namespace dlg::qt
