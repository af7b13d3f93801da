#include "settings/settings_location.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "settings/executable_path.h"

namespace trellan {
namespace {

// A folder without its trailing separators; a root ("/") keeps its own.
std::string_view WithoutTrailingSeparators(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == PATH_SEPARATOR) {
        folder.remove_suffix(1);
    }
    return folder;
}

#ifdef _WIN32
// UTF-16 units of a UTF-8 text: one for each character, two beyond the first plane.
std::size_t Utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        units += (byte & 0xC0) == 0x80 ? 0 : byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

// What Windows opens is held to MAX_PATH UTF-16 units, not to our buffer of UTF-8, in which a
// Chinese folder name takes half as much room again as in the system's code page.
bool PathFits(std::string_view path) {
    return Utf16Length(path) < SYSTEM_PATH_UNITS;
}
#else
bool PathFits(std::string_view path) {
    return path.size() < PATH_CAPACITY;
}
#endif

}  // namespace

void SettingsPathIn(std::string_view folder, std::span<char, PATH_BUFFER_SIZE> path) {
    std::fill(path.begin(), path.end(), '\0');
    folder = WithoutTrailingSeparators(folder);
    if (folder.empty()) {
        return;
    }
    std::string joined(folder);
    if (joined.back() != PATH_SEPARATOR) {
        joined += PATH_SEPARATOR;
    }
    joined += SETTINGS_FILE_NAME;
    if (joined.size() < path.size() && PathFits(joined)) {
        std::copy(joined.begin(), joined.end(), path.begin());
    }  // else a cut path would name another file: leave it empty
}

void SettingsPathBeside(const char* modulePath, std::span<char, PATH_BUFFER_SIZE> path) {
    std::fill(path.begin(), path.end(), '\0');
    const std::string_view module(modulePath, strnlen(modulePath, EXECUTABLE_PATH_LIMIT));
    const std::size_t separator = module.rfind(PATH_SEPARATOR);
    if (module.size() == EXECUTABLE_PATH_LIMIT || separator == std::string_view::npos) {
        return;  // longer than the platform hands out, or no directory at all
    }
    SettingsPathIn(module.substr(0, separator + 1), path);
}

bool IsInstalledCopy(const SettingsSituation& situation) {
    return !situation.directoryWritable || situation.besideInstalledFiles;
}

SettingsLocation ChooseSettingsLocation(const SettingsSituation& situation) {
    SettingsLocation location;
    if (situation.executableDirectory.empty()) {
        location.noSavePath = NoSavePath::ExecutableUnknown;  // as for a portable copy
        return location;
    }
    if (!IsInstalledCopy(situation)) {
        SettingsPathIn(situation.executableDirectory, location.savePath);
        location.loadPath = location.savePath;
        location.noSavePath =
            location.savePath[0] == '\0' ? NoSavePath::PathTooLong : NoSavePath::None;
        return location;
    }
    location.perUser = true;
    SettingsPathIn(situation.userFolder, location.savePath);
    if (location.savePath[0] == '\0') {
        location.noSavePath =
            situation.userFolder.empty() ? NoSavePath::NoUserFolder : NoSavePath::PathTooLong;
    }
    if (situation.userFileExists && location.savePath[0] != '\0') {
        location.loadPath = location.savePath;
    } else if (situation.administratorFileExists) {
        SettingsPathIn(situation.executableDirectory, location.loadPath);
    }
    return location;
}

SettingsLocation FindSettingsLocation() {
    std::array<char, EXECUTABLE_PATH_LIMIT> module{};
    const std::string_view modulePath(module.data(), ExecutablePath(module));
    const std::size_t separator = modulePath.rfind(PATH_SEPARATOR);
    if (separator == std::string_view::npos) {
        return ChooseSettingsLocation({});  // the executable's folder is unknown
    }
    const std::string_view directory = modulePath.substr(0, separator + 1);
    const std::string userFolder = UserSettingsFolder();
    std::array<char, PATH_BUFFER_SIZE> userPath{};
    std::array<char, PATH_BUFFER_SIZE> besidePath{};
    SettingsPathIn(userFolder, userPath);
    SettingsPathIn(directory, besidePath);
    return ChooseSettingsLocation({directory, HasInstalledFilesBeside(directory),
                                   MayCreateFilesIn(directory), userFolder,
                                   FileExists(userPath.data()), FileExists(besidePath.data())});
}

}  // namespace trellan
