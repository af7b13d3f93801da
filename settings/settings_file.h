#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/fee_schedule.h"

#include "settings/file_io.h"

namespace trellan {

inline constexpr std::size_t PATH_CAPACITY = 256;   // settings path, terminating zero included
inline constexpr std::size_t VALUE_CAPACITY = 100;  // one value text, terminating zero included

#ifdef _WIN32
// What Windows can open: MAX_PATH UTF-16 units, terminating zero included. The settings path is
// held to it, not to PATH_CAPACITY bytes of our UTF-8, in which a Chinese folder name takes
// half as much room again as in the system's code page.
inline constexpr std::size_t SYSTEM_PATH_UNITS = 260;
// Room for such a path in UTF-8: three bytes for each unit at most.
inline constexpr std::size_t PATH_BUFFER_SIZE = 3 * (SYSTEM_PATH_UNITS - 1) + 1;
#else
inline constexpr std::size_t PATH_BUFFER_SIZE = PATH_CAPACITY;
#endif

// The longest executable path the settings layer takes, terminating zero included: a longer one
// is not a path the platform handed out.
inline constexpr std::size_t EXECUTABLE_PATH_LIMIT = PATH_BUFFER_SIZE - 1;

inline constexpr char SETTINGS_FILE_NAME[] = "Set.ini";

// The section of the rates, and their keys; "COMMISION" is spelled as the files in use spell it.
inline constexpr std::string_view SETTINGS_SECTION = "SET";
inline constexpr std::string_view COMMISSION_KEY = "COMMISION";
inline constexpr std::string_view STAMP_DUTY_KEY = "STAMPDUTY";
inline constexpr std::string_view TRANSFER_KEY = "TRANSFER";

// The rates stored at path; a missing file, section or key gives the default rate, an
// unreadable file gives all three.
FeeSchedule LoadFeeSchedule(const char* path);

// The rates stored in the bytes of a settings file (8-bit or UTF-16 with its mark), by the same
// rules as LoadFeeSchedule.
FeeSchedule FeeScheduleFromText(std::string_view fileBytes);

// The number at key in section of a file's decoded text, read as the platform's atof reads it;
// defaultText when the section or the key is missing.
double ReadSettingsNumber(std::string_view fileText, std::string_view section, std::string_view key,
                          std::string_view defaultText);

// The bytes of a settings file with the three rates set, in the file's own encoding and line
// ends, every other line kept.
std::string SettingsTextWith(std::string_view fileBytes, const PerMilleRates& rates);

// Stores the three rates as confirmed by the user, in one save of the file (EditFileLocked).
// Returns false, with the file left as it was, when it cannot be written (or path is empty).
bool SaveFeeSchedule(const char* path, const PerMilleRates& rates);

// Saves the settings file at path as edit(its present text, empty when there is none) under the
// save lock (EditFileLocked). Fails, with the file left as it was, when it cannot be read or
// written, when the new text is larger than loading accepts, or when path is empty.
SaveOutcome ReplaceSettingsText(const char* path,
                                const std::function<std::string(std::string_view)>& edit);

// The text stored for a number, which reads back as the very same double: "%.2f"
// where that text reads back exactly (1.50), else the shortest text with at least two decimals
// that does (0.125); for a value whose text would not fit VALUE_CAPACITY, the shortest text
// (1e+300). An infinity is written beyond the double range (1e999); a nan as it prints.
void FormatSettingsValue(double value, std::span<char, VALUE_CAPACITY> buffer);

}  // namespace trellan
