#pragma once

#include <optional>

#include "core/fee_rules.h"
#include "core/net_profit.h"

#include "ui/framework/dialog.h"

// What the last calculation came to: each fee of each side, their total, the gross gain, the
// net result, the break-even sell price and the return on the buy side's cost.
class CFeeDetailsDlg : public dlg::CDialog {
  public:
    explicit CFeeDetailsDlg(dlg::CDialog* parent = nullptr);

    // The caller sets these before the modal run: the trade of the result on show (none while
    // there is none) and the rates it was calculated with.
    std::optional<trellan::TradeEntry> m_trade;
    trellan::RatesInForce m_rates;
    // The return wanted, in percent of the buy side's cost (none: not asked); seeded by the
    // caller, and as typed once the dialog ends with OK.
    std::optional<double> m_targetPercent;

  protected:
    void DoDataExchange(dlg::CDataExchange& exchange) override;
    bool OnInitDialog() override;

    void OnTargetChanged();

    DECLARE_MESSAGE_MAP()

  private:
    // The sell price for the return in the field as it stands, where there is a trade to price.
    void ShowRequiredPrice();

    bool m_described = false;  // the trade's details are on show
};
