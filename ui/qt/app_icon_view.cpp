#include "ui/qt/app_icon_view.h"

#include <cmath>

#include <QPainter>

#include "res/app_icon.h"
#include "res/resource_ids.h"

#include "ui/framework/backend.h"
#include "ui/qt/app_icon_image.h"
#include "ui/qt/qt_resources.h"

namespace dlg::qt {

// The pixmap of the template's size gives the label its size and its role (an image) for
// assistive technology; what is painted is drawn afresh for the ratio.
AppIconView::AppIconView(QWidget* parent) : QLabel(parent) {
    setPixmap(PixmapFor(LoadIconResource(res::IDR_MAINFRAME)));
}

void AppIconView::paintEvent(QPaintEvent* /*event*/) {
    const qreal ratio = devicePixelRatioF();
    const auto side =
        static_cast<std::size_t>(std::lround(static_cast<double>(res::ICON_SIZE) * ratio));
    if (m_drawn.isNull() || !qFuzzyCompare(m_drawn.devicePixelRatio(), ratio)) {
        m_drawn = AppIconImage(side);
        m_drawn.setDevicePixelRatio(ratio);
    }
    QPainter(this).drawImage(QPoint(0, 0), m_drawn);
}

}  // namespace dlg::qt
