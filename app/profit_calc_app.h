#pragma once

#include "ui/framework/win_app.h"

// The application: runs the calculator window once, and the program ends with it.
class CProfitCalcApp : public dlg::CWinApp {
  public:
    bool InitInstance() override;

    static const dlg::MessageMap* GetThisMessageMap();

  protected:
    const dlg::MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};
