#include "settings/settings_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include "core/number_text.h"

#include "settings/executable_path.h"
#include "settings/file_io.h"
#include "settings/profile_encoding.h"
#include "settings/profile_text.h"

namespace trellan {
namespace {

constexpr std::string_view SECTION = SETTINGS_SECTION;

#ifdef _WIN32
constexpr char PATH_SEPARATOR = '\\';
#else
constexpr char PATH_SEPARATOR = '/';
#endif

#ifdef _WIN32
// UTF-16 units of a UTF-8 text: one for each character, two beyond the first plane.
std::size_t Utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        units += (byte & 0xC0) == 0x80 ? 0 : byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool SettingsPathFits(std::string_view directory, std::string_view name) {
    return Utf16Length(directory) + Utf16Length(name) < SYSTEM_PATH_UNITS;
}
#else
bool SettingsPathFits(std::string_view directory, std::string_view name) {
    return directory.size() + name.size() < PATH_CAPACITY;
}
#endif

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

void SettingsPathBeside(const char* modulePath, std::span<char, PATH_BUFFER_SIZE> path) {
    std::fill(path.begin(), path.end(), '\0');
    const std::string_view module(modulePath, strnlen(modulePath, EXECUTABLE_PATH_LIMIT));
    const std::size_t separator = module.rfind(PATH_SEPARATOR);
    if (module.size() == EXECUTABLE_PATH_LIMIT || separator == std::string_view::npos) {
        return;  // longer than the platform hands out, or no directory at all
    }
    const std::string_view directory = module.substr(0, separator + 1);
    const std::string_view name = SETTINGS_FILE_NAME;
    if (!SettingsPathFits(directory, name)) {
        return;  // would not fit: leave the path empty rather than cut it
    }
    std::copy(directory.begin(), directory.end(), path.begin());
    std::copy(name.begin(), name.end(), path.begin() + static_cast<long>(directory.size()));
}

void BuildSettingsPath(std::span<char, PATH_BUFFER_SIZE> path) {
    std::array<char, EXECUTABLE_PATH_LIMIT> module{};
    if (ExecutablePath(module) == 0) {
        std::fill(path.begin(), path.end(), '\0');
        return;
    }
    SettingsPathBeside(module.data(), path);
}

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

bool ReplaceSettingsText(const char* path,
                         const std::function<std::string(std::string_view)>& edit) {
    if (path == nullptr || *path == '\0') {
        return false;
    }
    const FileContents file = ReadWholeFile(path);
    if (file.status == ReadStatus::Failed) {
        return false;  // never replace a file we could not read: its other lines would be lost
    }
    const std::string text = edit(file.bytes);
    // A file grown past what loading accepts would lose the rates just saved.
    return text.size() <= MAX_SETTINGS_FILE_SIZE && ReplaceFileAtomically(path, text);
}

bool SaveFeeSchedule(const char* path, const PerMilleRates& rates) {
    // All three keys in one replacement, so the file never holds a mixture of old and new.
    return ReplaceSettingsText(
        path, [&](std::string_view fileText) { return SettingsTextWith(fileText, rates); });
}

}  // namespace trellan
