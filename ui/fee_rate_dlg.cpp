#include "ui/fee_rate_dlg.h"

#include "res/resource_ids.h"

#include "ui/framework/data_exchange.h"

CFeeRateDlg::CFeeRateDlg(dlg::CDialog* parent) : dlg::CDialog(res::IDD_FEE_RATES, parent) {}

void CFeeRateDlg::DoDataExchange(dlg::CDataExchange& exchange) {
    dlg::CDialog::DoDataExchange(exchange);
    dlg::DDX_Text(exchange, res::IDC_COMMISSION_RATE, m_commission);
    dlg::DDX_Text(exchange, res::IDC_STAMP_DUTY_RATE, m_stampDuty);
    dlg::DDX_Text(exchange, res::IDC_TRANSFER_RATE, m_transfer);
}

bool CFeeRateDlg::OnInitDialog() {
    dlg::CDialog::OnInitDialog();
    UpdateData(false);
    return true;
}

// The dialog stays open when a field cannot be read: the default OK ends it only after a read
// that succeeds. A field that failed here has been reported already; reading it a second time
// would only report it again.
void CFeeRateDlg::OnOK() {
    if (UpdateData(true)) {
        dlg::CDialog::OnOK();
    }
}
