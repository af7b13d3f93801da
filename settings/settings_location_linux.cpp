#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/executable_path.h"
#include "settings/settings_location.h"

#ifndef TRELLAN_INSTALLED_FILE
#error "TRELLAN_INSTALLED_FILE names a file the install rules put, relative to the program's folder"
#endif

namespace trellan {
namespace {

bool Exists(const char* path) {
    struct stat info {};
    return path[0] != '\0' && ::stat(path, &info) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool HasInstalledFilesBeside(std::string_view executableDirectory) {
    if (executableDirectory.empty()) {
        return false;
    }
    const std::string installed =
        std::string(executableDirectory).append("/").append(TRELLAN_INSTALLED_FILE);
    return Exists(installed.c_str());
}

SettingsLocation FindSettingsLocation() {
    std::array<char, EXECUTABLE_PATH_LIMIT> module{};
    const std::size_t length = ExecutablePath(module);
    const std::string_view modulePath(module.data(), length);
    const std::size_t slash = modulePath.rfind('/');
    if (length == 0 || slash == std::string_view::npos) {
        SettingsLocation unknown;
        unknown.noSavePath = NoSavePath::ExecutableUnknown;
        return unknown;
    }
    const std::string directory(modulePath.substr(0, slash == 0 ? 1 : slash));

    std::array<char, PATH_BUFFER_SIZE> userPath{};
    std::array<char, PATH_BUFFER_SIZE> besidePath{};
    const char* xdgConfigHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    UserSettingsPath(xdgConfigHome, home, userPath);
    SettingsPathBeside(module.data(), besidePath);

    SettingsSituation situation;
    situation.executableDirectory = directory;
    situation.besideInstalledFiles = HasInstalledFilesBeside(directory);
    // EROFS tells even root that a read-only mount cannot be written.
    situation.directoryWritable = ::faccessat(AT_FDCWD, directory.c_str(), W_OK, AT_EACCESS) == 0;
    situation.xdgConfigHome = xdgConfigHome;
    situation.home = home;
    situation.userFileExists = Exists(userPath.data());
    situation.administratorFileExists = Exists(besidePath.data());
    return ChooseSettingsLocation(situation);
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
