#include <array>

#include "settings/executable_path.h"
#include "settings/settings_location.h"

namespace trellan {

// On Windows the program is a portable copy wherever it runs: Set.ini beside the executable,
// as the profile calls have always kept it.
SettingsLocation FindSettingsLocation() {
    SettingsLocation location;
    BuildSettingsPath(location.savePath);
    location.loadPath = location.savePath;
    if (location.savePath[0] == '\0') {
        std::array<char, PATH_BUFFER_SIZE> module{};
        location.noSavePath =
            ExecutablePath(module) == 0 ? NoSavePath::ExecutableUnknown : NoSavePath::PathTooLong;
    }
    return location;
}

bool CreateUserSettingsFolder(const char* /*settingsPath*/) {
    return true;
}

}  // namespace trellan
