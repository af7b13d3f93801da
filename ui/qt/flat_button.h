#pragma once

#include <QPushButton>

namespace dlg::qt {

// A flat push button that shows the keyboard focus in every style: some styles (Fusion, Qt's
// default) draw the focus of a push button into its frame, which a flat button has not.
class FlatButton final : public QPushButton {
  public:
    FlatButton(const QString& text, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace dlg::qt
