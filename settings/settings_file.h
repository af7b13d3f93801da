#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "core/fee_schedule.h"

namespace trellan {

inline constexpr std::size_t PATH_CAPACITY = 256;   // settings path, terminating zero included
inline constexpr std::size_t VALUE_CAPACITY = 100;  // one value text, terminating zero included

inline constexpr char SETTINGS_FILE_NAME[] = "Set.ini";

// Fills path with "Set.ini" in the executable's directory. When the executable's path cannot
// be had, or the settings path would not fit, path is left empty.
void BuildSettingsPath(std::span<char, PATH_CAPACITY> path);

// The settings path for an executable at modulePath (same rule, for any given path).
void SettingsPathBeside(const char* modulePath, std::span<char, PATH_CAPACITY> path);

// The rates stored at path; a missing file, section or key gives the default rate, an
// unreadable file gives all three.
FeeSchedule LoadFeeSchedule(const char* path);

// The rates stored in the text of a settings file, by the same rules as LoadFeeSchedule.
FeeSchedule FeeScheduleFromText(std::string_view fileText);

// The text of a settings file with the three per-mille values set, every other byte kept.
std::string SettingsTextWith(std::string_view fileText, double commission, double stampDuty,
                             double transfer);

// Stores the three per-mille values as confirmed by the user, in one atomic replacement of the
// file. Returns false, with the file left as it was, when it cannot be written (or path is
// empty).
bool SaveFeeSchedule(const char* path, double commission, double stampDuty, double transfer);

// The text stored for a per-mille value, which reads back as the very same double: "%.2f"
// where that text reads back exactly (1.50), else the shortest text with at least two decimals
// that does (0.125); for a value whose text would not fit VALUE_CAPACITY, the shortest text
// (1e+300). An infinity is written beyond the double range (1e999); a nan as it prints.
void FormatSettingsValue(double perMille, std::span<char, VALUE_CAPACITY> buffer);

}  // namespace trellan
