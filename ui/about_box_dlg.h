#pragma once

#include "ui/framework/dialog.h"

// Names the product and its version.
class CAboutBoxDlg : public dlg::CDialog {
  public:
    explicit CAboutBoxDlg(dlg::CDialog* parent = nullptr);
};
