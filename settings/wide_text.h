#pragma once

#ifdef _WIN32

#include <optional>
#include <string>
#include <string_view>

// The program keeps its text in UTF-8 and speaks to Windows through the wide calls only, so
// that its Chinese text and a folder named in any script work whatever the ANSI code page.
namespace trellan {

// Nothing for text that is not valid UTF-8 (or UTF-16): a path must never be guessed at.
std::optional<std::wstring> Utf8ToWide(std::string_view utf8);
std::optional<std::string> WideToUtf8(std::wstring_view wide);

// A window's text, where one that is not valid in one form or the other shows as empty.
inline std::wstring WindowTextToWide(std::string_view utf8) {
    return Utf8ToWide(utf8).value_or(L"");
}
inline std::string WindowTextToUtf8(std::wstring_view wide) {
    return WideToUtf8(wide).value_or("");
}

}  // namespace trellan

#endif
