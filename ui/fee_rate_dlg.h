#pragma once

#include "settings/fee_settings.h"

#include "ui/framework/dialog.h"

// Edits the rates per mille, of the classic rules and of today's, and which rules are in force.
// It stores nothing itself: its caller seeds the members before the modal run and takes them
// over only when it ends with OK.
class CFeeRateDlg : public dlg::CDialog {
  public:
    explicit CFeeRateDlg(dlg::CDialog* parent = nullptr);

    // The members as one set: seeded with the fees in force, taken over after OK.
    void Seed(const trellan::ConfirmedFees& fees);
    trellan::ConfirmedFees Confirmed() const;
    // What the dialog confirms for fees when no field is touched: each number as its field reads
    // it back, so that a save can tell the values the user changed.
    static trellan::ConfirmedFees AsShown(trellan::ConfirmedFees fees);

    // The classic rates.
    double m_commission = 0.0;
    double m_stampDuty = 0.0;
    double m_transfer = 0.0;

    // Today's rules: whether they are in force, their rates and the least commission in yuan.
    bool m_use2023 = false;
    double m_commission2023 = 0.0;
    double m_stampDuty2023 = 0.0;
    double m_transfer2023 = 0.0;
    double m_minCommission = 0.0;
    // Today's set was shown (seeded true when the caller already keeps it): it is to be kept.
    bool m_shown2023 = false;

  protected:
    void DoDataExchange(dlg::CDataExchange& exchange) override;
    bool OnInitDialog() override;
    void OnOK() override;

    void OnRulesClicked();

    DECLARE_MESSAGE_MAP()

  private:
    // The three rate fields show the set of the rules checked; the minimum is today's alone.
    void ExchangeShownRates(dlg::CDataExchange& exchange);
    void EnableMinimum();
};
