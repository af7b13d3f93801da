#include "ui/fee_details_dlg.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "core/number_text.h"
#include "core/trade_details.h"

#include "res/resource_ids.h"

#include "ui/framework/data_exchange.h"

namespace {

constexpr std::string_view NOT_CALCULATED = "尚未计算：请先按“计  算”。";
constexpr std::string_view NOT_FINITE = "结果不是有限数，无法列出明细。";
constexpr std::string_view CLASSIC_RULES = "按原有规则计算。";
constexpr std::string_view RULES_2023 = "按现行规则（2023年8月28日起）计算。";
constexpr std::string_view ROUNDED_APART = "各项费用分别四舍五入到分，相加可能与合计相差几分。";
constexpr std::string_view NONE = "—";
constexpr double LEAST_TARGET = -100.0;

// Money to the cent, as the result field shows it.
std::string Money(double value) {
    return std::string(trellan::FormatMoney(value).View());
}

std::string MoneyOrNone(const std::optional<double>& value, std::string_view unit = {}) {
    return value ? Money(*value) + std::string(unit) : std::string(NONE);
}

bool AllFinite(const trellan::TradeDetails& details) {
    const std::array values{
        details.buy.commission,  details.buy.stampDuty,  details.buy.transferFee,
        details.sell.commission, details.sell.stampDuty, details.sell.transferFee,
        details.totalFees,       details.gross,          details.net};
    return std::all_of(values.begin(), values.end(),
                       [](double value) { return std::isfinite(value); });
}

}  // namespace

CFeeDetailsDlg::CFeeDetailsDlg(dlg::CDialog* parent) : dlg::CDialog(res::IDD_FEE_DETAILS, parent) {}

DEFINE_MESSAGE_MAP(CFeeDetailsDlg, dlg::CDialog,
                   dlg::MapChanged(res::IDC_DETAIL_TARGET, &CFeeDetailsDlg::OnTargetChanged))

// A return of -100 % is losing all; anything lower asks for a price below nothing.
void CFeeDetailsDlg::DoDataExchange(dlg::CDataExchange& exchange) {
    dlg::CDialog::DoDataExchange(exchange);
    dlg::DDX_Text(exchange, res::IDC_DETAIL_TARGET, m_targetPercent, LEAST_TARGET);
}

bool CFeeDetailsDlg::OnInitDialog() {
    dlg::CDialog::OnInitDialog();
    if (!m_trade) {
        SetItemText(res::IDC_DETAIL_NOTE, NOT_CALCULATED);
        return true;
    }
    const trellan::TradeDetails details = trellan::DescribeTrade(*m_trade, m_rates);
    if (!AllFinite(details)) {
        SetItemText(res::IDC_DETAIL_NOTE, NOT_FINITE);
        return true;
    }
    SetItemText(res::IDC_DETAIL_BUY_COMMISSION, Money(details.buy.commission));
    SetItemText(res::IDC_DETAIL_SELL_COMMISSION, Money(details.sell.commission));
    SetItemText(res::IDC_DETAIL_BUY_STAMP_DUTY, Money(details.buy.stampDuty));
    SetItemText(res::IDC_DETAIL_SELL_STAMP_DUTY, Money(details.sell.stampDuty));
    SetItemText(res::IDC_DETAIL_BUY_TRANSFER, Money(details.buy.transferFee));
    SetItemText(res::IDC_DETAIL_SELL_TRANSFER, Money(details.sell.transferFee));
    SetItemText(res::IDC_DETAIL_TOTAL_FEES, Money(details.totalFees));
    SetItemText(res::IDC_DETAIL_GROSS, Money(details.gross));
    SetItemText(res::IDC_DETAIL_NET, Money(details.net));
    SetItemText(res::IDC_DETAIL_COST_PRICE, MoneyOrNone(details.costPrice));
    SetItemText(res::IDC_DETAIL_BREAK_EVEN, MoneyOrNone(details.breakEvenPrice));
    SetItemText(res::IDC_DETAIL_RETURN, MoneyOrNone(details.returnPercent, "%"));
    SetItemText(res::IDC_DETAIL_FEE_RATE, MoneyOrNone(details.feeRatePerMille, "‰"));
    SetItemText(res::IDC_DETAIL_NOTE,
                m_rates.rules == trellan::FeeRules::Since2023 ? RULES_2023 : CLASSIC_RULES);
    if (!trellan::FeesAddUpAsShown(details)) {
        SetItemText(res::IDC_DETAIL_ROUNDING, ROUNDED_APART);
    }
    m_described = true;
    ShowRequiredPrice();
    return true;
}

// Follows the field as it is typed in; a text that cannot be read is told only by OK.
void CFeeDetailsDlg::OnTargetChanged() {
    ShowRequiredPrice();
}

void CFeeDetailsDlg::ShowRequiredPrice() {
    if (!m_described) {
        return;
    }
    const std::optional<double> target =
        dlg::ReadDoubleText(GetItemText(res::IDC_DETAIL_TARGET), LEAST_TARGET);
    SetItemText(res::IDC_DETAIL_REQUIRED_PRICE,
                target ? MoneyOrNone(trellan::SellPriceForReturn(*m_trade, m_rates, *target))
                       : std::string());
}
