#pragma once

#include "ui/framework/win_app.h"

// The application: runs the calculator window once, and the program ends with it.
class CProfitCalcApp : public dlg::CWinApp {
  public:
    bool InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
