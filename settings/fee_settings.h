#pragma once

#include <string>
#include <string_view>

#include "core/fee_rules.h"

#include "settings/file_io.h"

// Today's fee rules in Set.ini, beside the classic keys and never in their place, so that a file
// still works with every older copy of the program, which ignores what it does not know:
//   [SET]      RULES=2023 when today's rules are in force (absent or anything else: classic)
//   [SET2023]  COMMISION, STAMPDUTY, TRANSFER per mille; MINCOMMISSION in yuan
namespace trellan {

inline constexpr std::string_view RULES_KEY = "RULES";
inline constexpr std::string_view RULES_2023 = "2023";
inline constexpr std::string_view SECTION_2023 = "SET2023";
inline constexpr std::string_view MIN_COMMISSION_KEY = "MINCOMMISSION";

// Everything Set.ini holds about fees.
struct FeeSettings {
    RatesInForce rates;
    bool has2023Section = false;  // today's rates were stored before
    // Why a Set.ini that exists could not be read (the rates are then the defaults).
    FileError unreadable = FileError::None;
};

// Read with the same reader as the classic rates: missing keys give their defaults (today's:
// 0.25, 0.50 and 0.01 per mille, a minimum of 5.00).
FeeSettings FeeSettingsFromText(std::string_view fileBytes);
FeeSettings LoadFeeSettings(const char* path);

// Today's set as the fee dialog confirmed it: rates per mille, the minimum commission in yuan.
struct Confirmed2023 {
    PerMilleRates rates;
    double minCommission = 0.0;
};

// What the fee dialog confirmed: the rules chosen, the classic rates per mille, and today's set
// when it is to be stored.
struct ConfirmedFees {
    FeeRules rules = FeeRules::Classic;
    PerMilleRates classic;
    bool store2023 = false;
    Confirmed2023 since2023;
};

// The fees as confirmed, in the form the window holds them.
FeeSettings FeeSettingsOf(const ConfirmedFees& fees);

// A confirmed fee dialog: the values it confirmed, and those it showed when it opened, so that
// a save writes only what the user changed there.
struct FeeSettingsChange {
    ConfirmedFees confirmed;
    ConfirmedFees shown;
};

// The file's bytes with the values the user changed set, and with any key of the dialog the file
// does not hold yet, in its own encoding and line ends, every other byte kept: what another copy
// saved meanwhile stays. Today's set is written only when it is to be stored. RULES=2023 is
// written when today's rules are chosen (or are in force and the file holds no RULES), and the
// classic year (2008) when the classic rules are chosen and the file already holds the key.
std::string SettingsTextWith(std::string_view fileBytes, const FeeSettingsChange& change);

// Stores the change in one save of the file (EditFileLocked); on success the outcome holds what
// the file holds now, which the window then uses.
SaveOutcome SaveFeeSettings(const char* path, const FeeSettingsChange& change);

}  // namespace trellan
