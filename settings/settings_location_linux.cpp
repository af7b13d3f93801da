#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/settings_location.h"

#ifndef TRELLAN_INSTALLED_FILE
#error "TRELLAN_INSTALLED_FILE names a file the install rules put, relative to the program's folder"
#endif

namespace trellan {
namespace {

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsAbsoluteFolder(const char* folder) {
    return folder != nullptr && folder[0] == '/';
}

// The folder with a name below it: "/" and "a" give "/a", not "//a".
std::string Below(std::string_view folder, std::string_view name) {
    while (!folder.empty() && folder.back() == '/') {
        folder.remove_suffix(1);
    }
    return std::string(folder).append("/").append(name);
}

}  // namespace

std::string XdgSettingsFolder(const char* xdgConfigHome, const char* home) {
    if (IsAbsoluteFolder(xdgConfigHome)) {
        return Below(xdgConfigHome, "trellan");
    }
    if (IsAbsoluteFolder(home)) {
        return Below(home, ".config/trellan");
    }
    return {};  // nowhere that belongs to this user
}

std::string UserSettingsFolder() {
    return XdgSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

// EROFS tells even root that a read-only mount cannot be written.
bool MayCreateFilesIn(std::string_view folder) {
    return ::faccessat(AT_FDCWD, std::string(folder).c_str(), W_OK, AT_EACCESS) == 0;
}

bool HasInstalledFilesBeside(std::string_view executableDirectory) {
    return !executableDirectory.empty() &&
           FileExists(Below(executableDirectory, TRELLAN_INSTALLED_FILE).c_str());
}

bool FileExists(const char* path) {
    struct stat info {};
    return path[0] != '\0' && ::stat(path, &info) == 0;
}

bool CreateUserSettingsFolder(const char* settingsPath) {
    if (settingsPath == nullptr || settingsPath[0] != '/') {
        return false;
    }
    const std::string path(settingsPath);
    const std::string folder = path.substr(0, path.rfind('/'));
    // Each missing level, outermost first; one that exists already keeps its mode.
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return IsDirectory(folder);
}

}  // namespace trellan
