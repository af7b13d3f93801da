#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "settings/fee_settings.h"

#include "support/rates.h"

// Copies of the program saving at once, each changing its own key round after round, as the
// Linux and the Windows tests start them (processes of their own).
namespace support {

inline constexpr int SAVING_COPIES = 4, SAVING_ROUNDS = 100;

// One copy's save in one round: its key set to the round, every other value as shown.
inline bool SaveRound(const std::string& path, int copy, int round) {
    trellan::ConfirmedFees fees{trellan::FeeRules::Classic, Rates(1.5, 1, 1), true, {}};
    const trellan::ConfirmedFees shown = fees;
    double* const changed[SAVING_COPIES] = {
        &fees.classic.commission.value, &fees.classic.stampDuty.value, &fees.classic.transfer.value,
        &fees.since2023.minCommission};
    *changed[copy] = round;
    return trellan::SaveFeeSettings(path.c_str(), {fees, shown}).Saved();
}

// Every copy's last change is in the file, and nothing is left beside it.
inline void ExpectEveryLastChange(const std::filesystem::path& folder, const std::string& path) {
    const trellan::FeeSettings saved = trellan::LoadFeeSettings(path.c_str());
    const double last = trellan::FromPerMille(trellan::PerMille{SAVING_ROUNDS - 1});
    EXPECT_EQ(saved.rates.classic.commissionRate, last);
    EXPECT_EQ(saved.rates.classic.stampDutyRate, last);
    EXPECT_EQ(saved.rates.classic.transferRate, last);
    EXPECT_EQ(saved.rates.since2023.minCommission, SAVING_ROUNDS - 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

}  // namespace support
