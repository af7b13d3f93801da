#pragma once

#include <array>
#include <optional>

#include "core/fee_rules.h"
#include "core/fee_schedule.h"
#include "core/net_profit.h"

#include "settings/fee_settings.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"

#include "ui/framework/dialog.h"

// The calculator window: one trade in, its net result out, the rates in force on its last line.
// It owns the program's state for the whole run.
class CProfitCalcDlg : public dlg::CDialog {
  public:
    explicit CProfitCalcDlg(dlg::CDialog* parent = nullptr);

    const trellan::TradeEntry& Entry() const { return m_entry; }
    const trellan::FeeSchedule& Schedule() const { return m_rates.classic; }
    const trellan::RatesInForce& Rates() const { return m_rates; }
    const char* SettingsPath() const { return m_settingsPath.data(); }

  protected:
    void DoDataExchange(dlg::CDataExchange& exchange) override;
    bool OnInitDialog() override;
    // Enter calculates, as in any calculator; the window ends only as Cancel ends it (Escape,
    // the close box, the system menu's Close).
    void OnOK() override;

    void OnSysCommand(unsigned command, dlg::LParam parameter);
    void OnPaint();
    dlg::HIcon OnQueryDragIcon();
    void OnCalculate();
    void OnSettings();
    void OnAbout();
    void OnDetails();
    void OnInputEdited();
    void OnExchangeClicked();

    DECLARE_MESSAGE_MAP()

  private:
    void ShowRateSummary();
    trellan::ConfirmedFees FeesInForce() const;
    void UseFees(const trellan::FeeSettings& settings);
    // The result field shows a result only while it belongs to the inputs and rates on show.
    void ClearResult();

    trellan::TradeEntry m_entry;
    // The calculation the result field shows, as made, for its details: the trade and the rates
    // then in force; none while the field is empty.
    std::optional<trellan::TradeEntry> m_resultTrade;
    trellan::RatesInForce m_resultRates;
    std::optional<double> m_targetPercent;  // the details' wanted return, kept for the run
    std::array<char, trellan::SUMMARY_BUFFER_SIZE> m_rateSummary{};
    trellan::RatesInForce m_rates;  // the classic schedule and today's, and the choice
    bool m_has2023Section = false;  // today's set is in the settings file
    std::array<char, trellan::PATH_BUFFER_SIZE> m_settingsPath{};
    bool m_settingsPerUser = false;  // the user's own folder, made by the first confirmed save
    trellan::NoSavePath m_noSavePath = trellan::NoSavePath::None;  // why the path is empty
    dlg::HIcon m_icon;
};
