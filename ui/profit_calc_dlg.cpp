#include "ui/profit_calc_dlg.h"

#include <cmath>
#include <string>
#include <string_view>

#include "core/number_text.h"

#include "settings/fee_settings.h"
#include "settings/settings_location.h"

#include "res/resource_ids.h"
#include "res/strings.h"

#include "ui/about_box_dlg.h"
#include "ui/fee_details_dlg.h"
#include "ui/fee_rate_dlg.h"
#include "ui/framework/data_exchange.h"
#include "ui/icon_position.h"
#include "ui/settings_messages.h"

namespace {

// A result that is no finite number is shown as what it means to the user.
constexpr std::string_view OUT_OF_RANGE = "超出范围";

std::string ResultText(double net) {
    return std::isfinite(net) ? std::string(trellan::FormatMoney(net).View())
                              : std::string(OUT_OF_RANGE);
}

}  // namespace

CProfitCalcDlg::CProfitCalcDlg(dlg::CDialog* parent)
    : dlg::CDialog(res::IDD_CALCULATOR, parent),
      m_icon(dlg::LoadIconResource(res::IDR_MAINFRAME)) {}

DEFINE_MESSAGE_MAP(CProfitCalcDlg, dlg::CDialog, dlg::MapSysCommand(&CProfitCalcDlg::OnSysCommand),
                   dlg::MapPaint(&CProfitCalcDlg::OnPaint),
                   dlg::MapQueryDragIcon(&CProfitCalcDlg::OnQueryDragIcon),
                   dlg::MapClicked(res::IDC_CALCULATE, &CProfitCalcDlg::OnCalculate),
                   dlg::MapClicked(res::IDC_SETTINGS, &CProfitCalcDlg::OnSettings),
                   dlg::MapClicked(res::IDC_ABOUT, &CProfitCalcDlg::OnAbout),
                   dlg::MapClicked(res::IDC_DETAILS, &CProfitCalcDlg::OnDetails),
                   dlg::MapChanged(res::IDC_BUY_PRICE, &CProfitCalcDlg::OnInputEdited),
                   dlg::MapChanged(res::IDC_QUANTITY, &CProfitCalcDlg::OnInputEdited),
                   dlg::MapChanged(res::IDC_SELL_PRICE, &CProfitCalcDlg::OnInputEdited),
                   dlg::MapClicked(res::IDC_EXCHANGE_A, &CProfitCalcDlg::OnExchangeClicked),
                   dlg::MapClicked(res::IDC_EXCHANGE_B, &CProfitCalcDlg::OnExchangeClicked))

void CProfitCalcDlg::DoDataExchange(dlg::CDataExchange& exchange) {
    dlg::CDialog::DoDataExchange(exchange);
    dlg::DDX_Text(exchange, res::IDC_BUY_PRICE, m_entry.buyPrice, 0.0);
    dlg::DDX_Text(exchange, res::IDC_QUANTITY, m_entry.quantity, 0);
    dlg::DDX_Text(exchange, res::IDC_SELL_PRICE, m_entry.sellPrice, 0.0);
    // Money to the cent cannot be read back as the double it shows: the member keeps that.
    dlg::DDX_Shown(exchange, res::IDC_NET_PROFIT,
                   m_resultTrade ? ResultText(m_entry.netResult) : std::string());
    dlg::DDX_Radio(exchange, res::IDC_EXCHANGE_A, m_entry.exchangeIndex);
}

bool CProfitCalcDlg::OnInitDialog() {
    dlg::CDialog::OnInitDialog();

    if (dlg::CMenu* systemMenu = GetSystemMenu(false)) {
        const std::string_view about = res::LoadResourceString(res::IDS_ABOUTBOX);
        if (!about.empty()) {
            systemMenu->AppendSeparator();
            systemMenu->AppendItem(res::IDM_ABOUTBOX, about);
        }
        const std::string_view details = res::LoadResourceString(res::IDS_DETAILS);
        if (!details.empty()) {
            systemMenu->AppendItem(res::IDM_DETAILS, details);
        }
    }
    SetIcon(m_icon, true);
    SetIcon(m_icon, false);

    // Set.ini beside the executable; an installed copy, which cannot write beside itself, keeps
    // each user's rates in their own folder and starts from an administrator's Set.ini until
    // they confirm rates of their own.
    const trellan::SettingsLocation location = trellan::FindSettingsLocation();
    m_settingsPath = location.savePath;
    m_settingsPerUser = location.perUser;
    m_noSavePath = location.noSavePath;
    const trellan::FeeSettings settings = trellan::LoadFeeSettings(location.loadPath.data());
    m_rates = settings.rates;
    m_has2023Section = settings.has2023Section;
    ShowRateSummary();
    // Calculating with the defaults unawares would give results the user did not set up.
    if (settings.unreadable != trellan::FileError::None) {
        ShowMessage(UnreadableMessage(location.loadPath.data(), settings.unreadable));
    }
    return true;
}

void CProfitCalcDlg::OnSysCommand(unsigned command, dlg::LParam /*parameter*/) {
    if ((command & 0xFFF0) == res::IDM_ABOUTBOX) {
        OnAbout();
    } else if ((command & 0xFFF0) == res::IDM_DETAILS) {
        OnDetails();
    } else {
        Default();
    }
}

// Only a minimised window is painted by hand: its icon, centred in the client area.
void CProfitCalcDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    dlg::CPaintDC dc(this);
    SendMessageToWindow(dlg::WM_ICONERASEBKGND_MESSAGE, dc.GetSafeHdc(), 0);
    const dlg::Rect client = GetClientRect();
    const IconPosition at =
        CentreIcon(client.Width(), client.Height(), dlg::GetSystemMetrics(dlg::METRIC_ICON_WIDTH),
                   dlg::GetSystemMetrics(dlg::METRIC_ICON_HEIGHT));
    dc.DrawIcon(at.x, at.y, m_icon);
}

dlg::HIcon CProfitCalcDlg::OnQueryDragIcon() {
    return m_icon;
}

// A field that cannot be read has been told and has the focus: nothing is calculated, and every
// field keeps what the user typed there.
void CProfitCalcDlg::OnCalculate() {
    if (!UpdateData(true)) {
        ClearResult();
        return;
    }
    m_entry.netResult = trellan::NetProfitUnder(m_entry, m_rates);
    m_resultTrade = m_entry;
    m_resultRates = m_rates;
    UpdateData(false);
}

void CProfitCalcDlg::OnOK() {
    OnCalculate();
}

// The window's own writes change the fields too; only the user's edits part them from the result.
void CProfitCalcDlg::OnInputEdited() {
    if (!SettingItemText() && m_resultTrade) {
        ClearResult();
    }
}

void CProfitCalcDlg::OnExchangeClicked() {
    std::int32_t checked = trellan::FIRST_EXCHANGE;
    dlg::CDataExchange reading(*this, true);
    dlg::DDX_Radio(reading, res::IDC_EXCHANGE_A, checked);
    if (m_resultTrade && checked != m_resultTrade->exchangeIndex) {
        ClearResult();
    }
}

void CProfitCalcDlg::ClearResult() {
    m_resultTrade.reset();
    SetItemText(res::IDC_NET_PROFIT, "");
}

// The fees as the window holds them, as the fee dialog shows them.
trellan::ConfirmedFees CProfitCalcDlg::FeesInForce() const {
    const trellan::FeeSchedule2023& since2023 = m_rates.since2023;
    const trellan::PerMilleRates today = trellan::ToPerMille(trellan::FeeSchedule{
        since2023.commissionRate, since2023.stampDutyRate, since2023.transferRate});
    return {.rules = m_rates.rules,
            .classic = trellan::ToPerMille(m_rates.classic),
            .store2023 = m_has2023Section,
            .since2023 = {today, since2023.minCommission}};
}

void CProfitCalcDlg::OnSettings() {
    const trellan::ConfirmedFees before = FeesInForce();
    CFeeRateDlg rates(this);
    rates.Seed(before);
    if (rates.DoModal() != dlg::RESULT_OK) {
        return;
    }
    ClearResult();  // calculated with the rates or rules of before
    const trellan::FeeSettingsChange change{.confirmed = rates.Confirmed(),
                                            .shown = CFeeRateDlg::AsShown(before)};
    if (m_settingsPerUser) {
        trellan::CreateUserSettingsFolder(m_settingsPath.data());  // a failure shows in the save
    }
    const trellan::SaveOutcome saved = trellan::SaveFeeSettings(m_settingsPath.data(), change);
    // What the file holds now, another copy's changes with the user's; the confirmed values
    // apply for this run either way, and a failed save must not pass unnoticed.
    UseFees(saved.Saved() ? trellan::FeeSettingsFromText(saved.bytes)
                          : trellan::FeeSettingsOf(change.confirmed));
    if (!saved.Saved()) {
        ShowMessage(SaveFailedMessage(m_settingsPath.data(), m_noSavePath, saved.error));
    }
}

void CProfitCalcDlg::UseFees(const trellan::FeeSettings& settings) {
    m_rates = settings.rates;
    m_has2023Section = settings.has2023Section;
    ShowRateSummary();
}

void CProfitCalcDlg::OnAbout() {
    CAboutBoxDlg about(this);
    about.DoModal();
}

// The details of the result on show: the trade and the rates it was calculated with, and the
// return last asked of a trade.
void CProfitCalcDlg::OnDetails() {
    CFeeDetailsDlg details(this);
    details.m_trade = m_resultTrade;
    details.m_rates = m_resultRates;
    details.m_targetPercent = m_targetPercent;
    if (details.DoModal() == dlg::RESULT_OK) {
        m_targetPercent = details.m_targetPercent;
    }
}

void CProfitCalcDlg::ShowRateSummary() {
    trellan::FormatRateSummaryUnder(m_rates, m_rateSummary);
    SetItemText(res::IDC_RATE_SUMMARY, m_rateSummary.data());
}
