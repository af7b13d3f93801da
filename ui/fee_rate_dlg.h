#pragma once

#include "ui/framework/dialog.h"

// Edits the three rates per mille. It stores nothing itself: its caller seeds the members
// before the modal run and takes them over only when it ends with OK.
class CFeeRateDlg : public dlg::CDialog {
  public:
    explicit CFeeRateDlg(dlg::CDialog* parent = nullptr);

    double m_commission = 0.0;
    double m_stampDuty = 0.0;
    double m_transfer = 0.0;

  protected:
    void DoDataExchange(dlg::CDataExchange& exchange) override;
    bool OnInitDialog() override;
    void OnOK() override;
};
