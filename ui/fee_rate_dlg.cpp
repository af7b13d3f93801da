#include "ui/fee_rate_dlg.h"

#include "res/resource_ids.h"

#include "ui/framework/data_exchange.h"

CFeeRateDlg::CFeeRateDlg(dlg::CDialog* parent) : dlg::CDialog(res::IDD_FEE_RATES, parent) {}

DEFINE_MESSAGE_MAP(CFeeRateDlg, dlg::CDialog,
                   dlg::MapClicked(res::IDC_RULES_2023, &CFeeRateDlg::OnRulesClicked))

// A rate or a minimum is a finite amount, zero or more: a negative fee is no fee.
void CFeeRateDlg::ExchangeShownRates(dlg::CDataExchange& exchange) {
    dlg::DDX_Text(exchange, res::IDC_COMMISSION_RATE, m_use2023 ? m_commission2023 : m_commission,
                  0.0);
    dlg::DDX_Text(exchange, res::IDC_STAMP_DUTY_RATE, m_use2023 ? m_stampDuty2023 : m_stampDuty,
                  0.0);
    dlg::DDX_Text(exchange, res::IDC_TRANSFER_RATE, m_use2023 ? m_transfer2023 : m_transfer, 0.0);
    dlg::DDX_Text(exchange, res::IDC_MIN_COMMISSION, m_minCommission, 0.0);
}

void CFeeRateDlg::DoDataExchange(dlg::CDataExchange& exchange) {
    dlg::CDialog::DoDataExchange(exchange);
    ExchangeShownRates(exchange);
    dlg::DDX_Check(exchange, res::IDC_RULES_2023, m_use2023);
}

// The fields are written twice, once by the default initialisation and once here, as the
// classic dialog always did.
bool CFeeRateDlg::OnInitDialog() {
    dlg::CDialog::OnInitDialog();
    UpdateData(false);
    m_shown2023 = m_shown2023 || m_use2023;
    EnableMinimum();
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

// The fields take the rates of the other rules; what they held is kept for their own rules.
// A field that cannot be read is reported and keeps the box as it was, so nothing typed is lost.
void CFeeRateDlg::OnRulesClicked() {
    const bool wanted = IsItemChecked(res::IDC_RULES_2023);
    dlg::CDataExchange leaving(*this, true);
    ExchangeShownRates(leaving);
    if (leaving.Failed()) {
        SetItemChecked(res::IDC_RULES_2023, m_use2023);
        return;
    }
    m_use2023 = wanted;
    m_shown2023 = m_shown2023 || wanted;
    dlg::CDataExchange showing(*this, false);
    ExchangeShownRates(showing);
    EnableMinimum();
}

void CFeeRateDlg::EnableMinimum() {
    for (const int id :
         {res::IDC_MIN_COMMISSION_LABEL, res::IDC_MIN_COMMISSION, res::IDC_MIN_COMMISSION_UNIT}) {
        EnableItem(id, m_use2023);
    }
}
