#include <algorithm>
#include <optional>
#include <string>

#include "settings/executable_path.h"
#include "settings/wide_text.h"
#include "settings/windows_api.h"

namespace trellan {
namespace {

// Room for the longest path Windows hands out (32767 characters and the zero).
constexpr DWORD WIDE_PATH_LIMIT = 32768;

}  // namespace

// Asked in UTF-16 and returned in UTF-8, so that a directory named in any script is found.
std::size_t ExecutablePath(std::span<char> buffer) {
    if (buffer.empty()) {
        return 0;
    }
    std::fill(buffer.begin(), buffer.end(), '\0');
    std::wstring wide(WIDE_PATH_LIMIT, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, wide.data(), WIDE_PATH_LIMIT);
    // A length equal to the buffer's means the path was cut.
    if (length == 0 || length >= WIDE_PATH_LIMIT) {
        return 0;
    }
    const std::optional<std::string> utf8 = WideToUtf8({wide.data(), length});
    if (!utf8 || utf8->size() >= buffer.size()) {
        return 0;
    }
    std::copy(utf8->begin(), utf8->end(), buffer.begin());
    return utf8->size();
}

}  // namespace trellan
