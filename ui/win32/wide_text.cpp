#include "ui/win32/wide_text.h"

#include "settings/wide_text.h"

namespace dlg::win32 {

// Window texts that are not valid in one form or the other show as empty.
std::wstring ToWide(std::string_view utf8) {
    return trellan::Utf8ToWide(utf8).value_or(L"");
}

std::string ToUtf8(std::wstring_view wide) {
    return trellan::WideToUtf8(wide).value_or("");
}

}  // namespace dlg::win32
