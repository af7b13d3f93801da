#include "ui/qt/paint_context.h"

#include <QWidget>

#include "ui/qt/qt_resources.h"

namespace dlg::qt {

WParam PaintContext::Begin(QWidget& window) {
    m_painter.emplace(&window);
    m_painter->translate(window.contentsRect().topLeft());
    return reinterpret_cast<WParam>(&*m_painter);
}

void PaintContext::DrawIcon(int x, int y, HIcon icon) {
    if (m_painter) {
        m_painter->drawPixmap(x, y, PixmapFor(icon));
    }
}

void PaintContext::End() {
    m_painter.reset();
}

}  // namespace dlg::qt
