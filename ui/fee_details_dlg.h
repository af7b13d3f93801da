#pragma once

#include <optional>
#include <string>

#include "core/fee_rules.h"
#include "core/net_profit.h"

#include "ui/framework/dialog.h"

// What the last calculation came to: each fee of each side, their total, the gross gain, the
// net result, the break-even sell price and the return on the buy side's cost.
class CFeeDetailsDlg : public dlg::CDialog {
  public:
    explicit CFeeDetailsDlg(dlg::CDialog* parent = nullptr);

    // The caller sets these before the modal run: the trade as last calculated (none before the
    // first Calculate), the rates it was calculated with, and the result field's text.
    std::optional<trellan::TradeEntry> m_trade;
    trellan::RatesInForce m_rates;
    std::string m_resultText;

  protected:
    bool OnInitDialog() override;
};
