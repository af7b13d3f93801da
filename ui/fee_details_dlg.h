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

  protected:
    bool OnInitDialog() override;
};
