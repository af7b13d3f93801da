#pragma once

#include <optional>

#include <QPainter>

#include "ui/framework/messages.h"

class QWidget;

namespace dlg::qt {

// The painting of one paint message: a painter on the window whose origin is the client area's,
// between Begin and End only.
class PaintContext {
  public:
    WParam Begin(QWidget& window);
    void DrawIcon(int x, int y, HIcon icon);
    void End();

  private:
    std::optional<QPainter> m_painter;
};

}  // namespace dlg::qt
