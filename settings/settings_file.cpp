#include "settings/settings_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/number_text.h"

#include "settings/file_io.h"
#include "settings/profile_encoding.h"
#include "settings/profile_text.h"

namespace trellan {
namespace {

constexpr std::string_view SECTION = SETTINGS_SECTION;

double ReadRate(std::string_view fileText, std::string_view key, std::string_view defaultText) {
    return FromPerMille(PerMille{ReadSettingsNumber(fileText, SECTION, key, defaultText)});
}

// Whether a text read back by the settings reader gives this very double.
bool ReadsBackAs(std::string_view text, double value) {
    return std::bit_cast<std::uint64_t>(ParseLeadingDouble(text)) ==
           std::bit_cast<std::uint64_t>(value);
}

void CopyText(std::string_view text, std::span<char, VALUE_CAPACITY> buffer) {
    const std::size_t length = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), length, buffer.begin());
    buffer[length] = '\0';
}

}  // namespace

double ReadSettingsNumber(std::string_view fileText, std::string_view section, std::string_view key,
                          std::string_view defaultText) {
    std::array<char, VALUE_CAPACITY> value{};
    CopyProfileString(fileText, section, key, defaultText, value);
    return ParseLeadingDouble(value.data());
}

FeeSchedule FeeScheduleFromText(std::string_view fileBytes) {
    const std::string fileText = DecodeProfileFile(fileBytes).text;
    FeeSchedule schedule;
    schedule.commissionRate = ReadRate(fileText, COMMISSION_KEY, "1.5");
    schedule.stampDutyRate = ReadRate(fileText, STAMP_DUTY_KEY, "1.0");
    schedule.transferRate = ReadRate(fileText, TRANSFER_KEY, "1.0");
    return schedule;
}

FeeSchedule LoadFeeSchedule(const char* path) {
    const FileContents file = ReadWholeFile(path);
    return FeeScheduleFromText(file.status == ReadStatus::Ok ? file.bytes : std::string_view{});
}

void FormatSettingsValue(double value, std::span<char, VALUE_CAPACITY> buffer) {
    if (std::isinf(value)) {
        // Beyond the double range, so it reads back as the same infinity.
        CopyText(value > 0 ? "1e999" : "-1e999", buffer);
        return;
    }
    const NumberText fixed = FormatFixed2(value);
    if (fixed.length >= buffer.size()) {
        CopyText(FormatShortest(value).View(), buffer);  // 1e+300
        return;
    }
    // Two decimals keep files as they have always looked (1.50, 0.50). A nan has no text that
    // reads back, so it is written as it prints.
    if (std::isnan(value) || ReadsBackAs(fixed.View(), value)) {
        CopyText(fixed.View(), buffer);
        return;
    }
    // A rate such as 0.125 or 0.085 per mille: the next run must compute with the very rate
    // the user confirmed, not with 0.13 or 0.09.
    const NumberText exact = FormatShortestFixed(value);
    CopyText(exact.length < buffer.size() ? exact.View() : FormatShortest(value).View(), buffer);
}

std::string SettingsTextWith(std::string_view fileBytes, const PerMilleRates& rates) {
    std::array<std::array<char, VALUE_CAPACITY>, 3> values{};
    FormatSettingsValue(rates.commission.value, values[0]);
    FormatSettingsValue(rates.stampDuty.value, values[1]);
    FormatSettingsValue(rates.transfer.value, values[2]);
    const std::array<ProfileEntry, 3> entries{ProfileEntry{COMMISSION_KEY, values[0].data()},
                                              ProfileEntry{STAMP_DUTY_KEY, values[1].data()},
                                              ProfileEntry{TRANSFER_KEY, values[2].data()}};
    ProfileFileText file = DecodeProfileFile(fileBytes);
    for (const ProfileEntry& entry : entries) {
        file.text = SetProfileValue(file.text, SECTION, entry);
    }
    return EncodeProfileFile(file);
}

SaveOutcome ReplaceSettingsText(const char* path,
                                const std::function<std::string(std::string_view)>& edit) {
    if (path == nullptr || *path == '\0') {
        return SaveOutcome::Failure(FileError::Other);
    }
    return EditFileLocked(path, [&edit](std::string_view present) -> std::optional<FileEdit> {
        std::string text = edit(present);
        // A file grown past what loading accepts would lose the rates just saved.
        if (text.size() > MAX_SETTINGS_FILE_SIZE) {
            return std::nullopt;
        }
        const std::string_view lineEnd = LineEndIn(EncodingOf(text));
        return FileEdit{std::move(text), std::string(lineEnd)};
    });
}

bool SaveFeeSchedule(const char* path, const PerMilleRates& rates) {
    // All three keys in one replacement, so the file never holds a mixture of old and new.
    return ReplaceSettingsText(
               path, [&](std::string_view fileText) { return SettingsTextWith(fileText, rates); })
        .Saved();
}

}  // namespace trellan
