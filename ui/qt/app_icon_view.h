#pragma once

#include <QImage>
#include <QLabel>

namespace dlg::qt {

// The application icon in a dialog, drawn from its vector source at the screen's device pixel
// ratio, so that it is as sharp at 2x as at 1x; its size is the template's icon size in the
// window's own pixels.
class AppIconView final : public QLabel {
  public:
    explicit AppIconView(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage m_drawn;  // at the ratio last painted at
};

}  // namespace dlg::qt
