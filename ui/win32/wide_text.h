#pragma once

#include <string>
#include <string_view>

// The program keeps its texts in UTF-8 and speaks to Windows in UTF-16 only.
namespace dlg::win32 {

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

}  // namespace dlg::win32
