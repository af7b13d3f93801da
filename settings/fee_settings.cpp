#include "settings/fee_settings.h"

#include <array>
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

std::string WithValue(const std::string& text, std::string_view section, std::string_view key,
                      double value) {
    std::array<char, VALUE_CAPACITY> formatted{};
    FormatSettingsValue(value, formatted);
    return SetProfileValue(text, section, ProfileEntry{key, formatted.data()});
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
    return FeeSettingsFromText(file.status == ReadStatus::Ok ? file.bytes : std::string_view{});
}

std::string SettingsTextWith(std::string_view fileBytes, const ConfirmedFees& fees) {
    // The classic keys exactly as the classic save writes them, then the new keys in the same
    // encoding and line ends.
    ProfileFileText file = DecodeProfileFile(SettingsTextWith(fileBytes, fees.classic));
    std::string& text = file.text;
    if (fees.rules == FeeRules::Since2023) {
        text = SetProfileValue(text, SETTINGS_SECTION, ProfileEntry{RULES_KEY, RULES_2023});
    } else if (FindProfileValue(text, SETTINGS_SECTION, RULES_KEY)) {
        text = SetProfileValue(text, SETTINGS_SECTION, ProfileEntry{RULES_KEY, RULES_CLASSIC});
    }
    if (fees.store2023) {
        const PerMilleRates& rates = fees.since2023.rates;
        text = WithValue(text, SECTION_2023, COMMISSION_KEY, rates.commission.value);
        text = WithValue(text, SECTION_2023, STAMP_DUTY_KEY, rates.stampDuty.value);
        text = WithValue(text, SECTION_2023, TRANSFER_KEY, rates.transfer.value);
        text = WithValue(text, SECTION_2023, MIN_COMMISSION_KEY, fees.since2023.minCommission);
    }
    return EncodeProfileFile(file);
}

bool SaveFeeSettings(const char* path, const ConfirmedFees& fees) {
    return ReplaceSettingsText(
        path, [&fees](std::string_view fileText) { return SettingsTextWith(fileText, fees); });
}

}  // namespace trellan
