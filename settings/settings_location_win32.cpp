#include <cctype>
#include <string>
#include <string_view>

#include "settings/settings_location.h"
#include "settings/wide_text.h"
#include "settings/windows_api.h"

namespace trellan {
namespace {

// Room for the longest value a variable of the environment may have, and its zero.
constexpr DWORD VARIABLE_LIMIT = 32768;

std::wstring Wide(std::string_view utf8) {
    return Utf8ToWide(utf8).value_or(L"");
}

// A variable of the environment in UTF-8, as the wide call has it; empty when it is unset.
std::string Variable(const wchar_t* name) {
    std::wstring value(VARIABLE_LIMIT, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), VARIABLE_LIMIT);
    if (length == 0 || length >= VARIABLE_LIMIT) {
        return {};
    }
    return WideToUtf8({value.data(), length}).value_or("");
}

bool IsAbsoluteFolder(std::string_view folder) {
    const bool drive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
                       folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
    return drive || folder.starts_with("\\\\");
}

DWORD Attributes(const char* path) {
    return path[0] == '\0' ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(Wide(path).c_str());
}

}  // namespace

// Only the file system knows (the folder's access rights, a read-only medium, a share's own
// rules), so a file is made and goes again as its handle closes. Declared asInvoker, the program
// is told the truth: the system does not redirect its writes to a VirtualStore folder.
bool MayCreateFilesIn(std::string_view folder) {
    const std::wstring probe =
        Wide(folder) + L"~Trellan-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    const HANDLE file = ::CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_FILE_EXISTS;
    }
    ::CloseHandle(file);
    return true;
}

std::string AppDataSettingsFolder(const char* appData) {
    if (appData == nullptr || !IsAbsoluteFolder(appData)) {
        return {};
    }
    std::string_view folder(appData);
    while (folder.size() > 2 && (folder.back() == '\\' || folder.back() == '/')) {
        folder.remove_suffix(1);
    }
    return std::string(folder).append("\\Trellan");
}

std::string UserSettingsFolder() {
    return AppDataSettingsFolder(Variable(L"APPDATA").c_str());
}

bool HasInstalledFilesBeside(std::string_view /*executableDirectory*/) {
    return false;
}

bool FileExists(const char* path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

// %APPDATA% is there for every user who has a profile: only the program's own folder is made,
// and it takes the access rights of that folder, which is the user's alone.
bool CreateUserSettingsFolder(const char* settingsPath) {
    if (settingsPath == nullptr) {
        return false;
    }
    const std::string_view path(settingsPath);
    const std::size_t separator = path.rfind(PATH_SEPARATOR);
    if (separator == std::string_view::npos) {
        return false;
    }
    const std::string folder(path.substr(0, separator));
    ::CreateDirectoryW(Wide(folder).c_str(), nullptr);
    const DWORD attributes = Attributes(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace trellan
