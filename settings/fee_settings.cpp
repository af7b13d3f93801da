#include "settings/fee_settings.h"

#include <array>
#include <bit>
#include <cstdint>
#include <optional>

#include "settings/file_io.h"
#include "settings/profile_encoding.h"
#include "settings/profile_text.h"
#include "settings/settings_file.h"

namespace trellan {
namespace {

// Written in place of RULES=2023 when the classic rules are chosen again.
constexpr std::string_view RULES_CLASSIC = "2008";

double Read2023Rate(std::string_view fileText, std::string_view key, std::string_view defaultText) {
    return FromPerMille(PerMille{ReadSettingsNumber(fileText, SECTION_2023, key, defaultText)});
}

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Sets key to value where the user changed it, or where the file does not hold the key yet.
void SetIfChanged(std::string& text, std::string_view section, std::string_view key, double value,
                  double shown) {
    if (SameBits(value, shown) && FindProfileValue(text, section, key)) {
        return;
    }
    std::array<char, VALUE_CAPACITY> formatted{};
    FormatSettingsValue(value, formatted);
    text = SetProfileValue(text, section, ProfileEntry{key, formatted.data()});
}

void SetRatesIfChanged(std::string& text, std::string_view section, const PerMilleRates& rates,
                       const PerMilleRates& shown) {
    SetIfChanged(text, section, COMMISSION_KEY, rates.commission.value, shown.commission.value);
    SetIfChanged(text, section, STAMP_DUTY_KEY, rates.stampDuty.value, shown.stampDuty.value);
    SetIfChanged(text, section, TRANSFER_KEY, rates.transfer.value, shown.transfer.value);
}

void SetRulesIfChanged(std::string& text, FeeRules rules, FeeRules shown) {
    const bool held = FindProfileValue(text, SETTINGS_SECTION, RULES_KEY).has_value();
    if (rules == FeeRules::Since2023 && (rules != shown || !held)) {
        text = SetProfileValue(text, SETTINGS_SECTION, ProfileEntry{RULES_KEY, RULES_2023});
    } else if (rules == FeeRules::Classic && rules != shown && held) {
        text = SetProfileValue(text, SETTINGS_SECTION, ProfileEntry{RULES_KEY, RULES_CLASSIC});
    }
}

}  // namespace

FeeSettings FeeSettingsFromText(std::string_view fileBytes) {
    const std::string fileText = DecodeProfileFile(fileBytes).text;
    FeeSettings settings;
    settings.rates.classic = FeeScheduleFromText(fileBytes);
    const std::optional<std::string_view> rules =
        FindProfileValue(fileText, SETTINGS_SECTION, RULES_KEY);
    settings.rates.rules = rules == RULES_2023 ? FeeRules::Since2023 : FeeRules::Classic;
    FeeSchedule2023& since2023 = settings.rates.since2023;
    since2023.commissionRate = Read2023Rate(fileText, COMMISSION_KEY, "0.25");
    since2023.stampDutyRate = Read2023Rate(fileText, STAMP_DUTY_KEY, "0.50");
    since2023.transferRate = Read2023Rate(fileText, TRANSFER_KEY, "0.01");
    since2023.minCommission =
        ReadSettingsNumber(fileText, SECTION_2023, MIN_COMMISSION_KEY, "5.00");
    settings.has2023Section = HasProfileSection(fileText, SECTION_2023);
    return settings;
}

FeeSettings LoadFeeSettings(const char* path) {
    const FileContents file = ReadWholeFile(path);
    FeeSettings settings =
        FeeSettingsFromText(file.status == ReadStatus::Ok ? file.bytes : std::string_view{});
    settings.unreadable = file.error;
    return settings;
}

FeeSettings FeeSettingsOf(const ConfirmedFees& fees) {
    FeeSettings settings;
    settings.rates.rules = fees.rules;
    settings.rates.classic = FromPerMille(fees.classic);
    const FeeSchedule today = FromPerMille(fees.since2023.rates);
    settings.rates.since2023 = {today.commissionRate, today.stampDutyRate, today.transferRate,
                                fees.since2023.minCommission};
    settings.has2023Section = fees.store2023;
    return settings;
}

std::string SettingsTextWith(std::string_view fileBytes, const FeeSettingsChange& change) {
    const ConfirmedFees& fees = change.confirmed;
    const ConfirmedFees& shown = change.shown;
    ProfileFileText file = DecodeProfileFile(fileBytes);
    std::string& text = file.text;
    SetRatesIfChanged(text, SETTINGS_SECTION, fees.classic, shown.classic);
    SetRulesIfChanged(text, fees.rules, shown.rules);
    if (fees.store2023) {
        SetRatesIfChanged(text, SECTION_2023, fees.since2023.rates, shown.since2023.rates);
        SetIfChanged(text, SECTION_2023, MIN_COMMISSION_KEY, fees.since2023.minCommission,
                     shown.since2023.minCommission);
    }
    return EncodeProfileFile(file);
}

SaveOutcome SaveFeeSettings(const char* path, const FeeSettingsChange& change) {
    return ReplaceSettingsText(
        path, [&change](std::string_view fileText) { return SettingsTextWith(fileText, change); });
}

}  // namespace trellan
