#include "ui/qt/flat_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

namespace dlg::qt {

FlatButton::FlatButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setFlat(true);
}

// The style's own focus mark, where the style puts it for a push button; a style that draws one
// there already draws the same again.
void FlatButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QStyleOptionButton button;
    initStyleOption(&button);
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(button);
    focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &button, this);
    focus.backgroundColor = palette().color(backgroundRole());
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

}  // namespace dlg::qt
