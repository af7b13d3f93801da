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

void CFeeRateDlg::Seed(const trellan::ConfirmedFees& fees) {
    m_use2023 = fees.rules == trellan::FeeRules::Since2023;
    m_commission = fees.classic.commission.value;
    m_stampDuty = fees.classic.stampDuty.value;
    m_transfer = fees.classic.transfer.value;
    m_commission2023 = fees.since2023.rates.commission.value;
    m_stampDuty2023 = fees.since2023.rates.stampDuty.value;
    m_transfer2023 = fees.since2023.rates.transfer.value;
    m_minCommission = fees.since2023.minCommission;
    m_shown2023 = fees.store2023;
}

trellan::ConfirmedFees CFeeRateDlg::Confirmed() const {
    using trellan::PerMille;
    return {.rules = m_use2023 ? trellan::FeeRules::Since2023 : trellan::FeeRules::Classic,
            .classic = {PerMille{m_commission}, PerMille{m_stampDuty}, PerMille{m_transfer}},
            .store2023 = m_shown2023,
            .since2023 = {
                {PerMille{m_commission2023}, PerMille{m_stampDuty2023}, PerMille{m_transfer2023}},
                m_minCommission}};
}

trellan::ConfirmedFees CFeeRateDlg::AsShown(trellan::ConfirmedFees fees) {
    for (trellan::PerMilleRates* rates : {&fees.classic, &fees.since2023.rates}) {
        for (trellan::PerMille* rate : {&rates->commission, &rates->stampDuty, &rates->transfer}) {
            rate->value = dlg::DoubleAsShown(rate->value);
        }
    }
    fees.since2023.minCommission = dlg::DoubleAsShown(fees.since2023.minCommission);
    return fees;
}

void CFeeRateDlg::EnableMinimum() {
    for (const int id :
         {res::IDC_MIN_COMMISSION_LABEL, res::IDC_MIN_COMMISSION, res::IDC_MIN_COMMISSION_UNIT}) {
        EnableItem(id, m_use2023);
    }
}
