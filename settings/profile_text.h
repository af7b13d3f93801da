#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

// The text of an initialization file, read and changed the way the Windows profile functions
// do it, because users carry files that Windows wrote: "[section]" lines, "name=value" lines,
// names matched without regard to case, blanks around names and values ignored, a value in
// matching quotes unquoted, other lines passed over, CRLF, LF and bare CR line ends alike. Only
// the first section of a name is used.
namespace trellan {

struct ProfileEntry {
    std::string_view key;
    std::string_view value;  // a single line
};

// The value of key in section, or nothing when the section or the key is missing.
std::optional<std::string_view> FindProfileValue(std::string_view fileText,
                                                 std::string_view section, std::string_view key);

// Whether the file has a section of that name.
bool HasProfileSection(std::string_view fileText, std::string_view section);

// The file text with the key set to value. An existing key has only its value replaced; a
// missing key is added at the end of its section, a missing section at the end of the file.
// Every other byte stays as it was; new lines take the line end the file already uses.
std::string SetProfileValue(std::string_view fileText, std::string_view section,
                            const ProfileEntry& entry);

// Copies the value (or defaultValue when missing) into buffer, cut to fit with its
// terminating zero, and returns the number of bytes copied.
std::size_t CopyProfileString(std::string_view fileText, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::span<char> buffer);

}  // namespace trellan
