#include "settings/settings_location.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace trellan {
namespace {

// A folder name without its trailing separators; the root stays "/".
std::string_view WithoutTrailingSlash(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.remove_suffix(1);
    }
    return folder;
}

bool IsAbsoluteFolder(const char* folder) {
    return folder != nullptr && folder[0] == '/';
}

// Joins the parts into path; leaves it empty when the whole would not fit.
void Compose(std::span<char, PATH_BUFFER_SIZE> path,
             std::initializer_list<std::string_view> parts) {
    std::fill(path.begin(), path.end(), '\0');
    std::size_t length = 0;
    for (const std::string_view part : parts) {
        length += part.size();
    }
    if (length + 1 > path.size()) {
        return;  // a cut path would name another file: leave it empty
    }
    auto out = path.begin();
    for (const std::string_view part : parts) {
        out = std::copy(part.begin(), part.end(), out);
    }
}

void PathBeside(std::string_view executableDirectory, std::span<char, PATH_BUFFER_SIZE> path) {
    const std::string_view folder = WithoutTrailingSlash(executableDirectory);
    Compose(path, {folder, folder == "/" ? "" : "/", SETTINGS_FILE_NAME});
}

}  // namespace

bool IsInstalledCopy(const SettingsSituation& situation) {
    return !situation.directoryWritable || situation.besideInstalledFiles;
}

void UserSettingsPath(const char* xdgConfigHome, const char* home,
                      std::span<char, PATH_BUFFER_SIZE> path) {
    std::fill(path.begin(), path.end(), '\0');
    std::string_view base;
    std::string_view config;
    if (IsAbsoluteFolder(xdgConfigHome)) {
        base = WithoutTrailingSlash(xdgConfigHome);
    } else if (IsAbsoluteFolder(home)) {
        base = WithoutTrailingSlash(home);
        config = base == "/" ? ".config" : "/.config";
    } else {
        return;  // nowhere that belongs to this user
    }
    const std::string_view separator = base == "/" && config.empty() ? "" : "/";
    Compose(path, {base, config, separator, SETTINGS_FOLDER_NAME, "/", SETTINGS_FILE_NAME});
}

SettingsLocation ChooseSettingsLocation(const SettingsSituation& situation) {
    SettingsLocation location;
    if (situation.executableDirectory.empty()) {
        location.noSavePath = NoSavePath::ExecutableUnknown;  // as for a portable copy
        return location;
    }
    if (!IsInstalledCopy(situation)) {
        PathBeside(situation.executableDirectory, location.savePath);
        location.loadPath = location.savePath;
        location.noSavePath =
            location.savePath[0] == '\0' ? NoSavePath::PathTooLong : NoSavePath::None;
        return location;
    }
    location.perUser = true;
    UserSettingsPath(situation.xdgConfigHome, situation.home, location.savePath);
    if (location.savePath[0] == '\0') {
        location.noSavePath =
            IsAbsoluteFolder(situation.xdgConfigHome) || IsAbsoluteFolder(situation.home)
                ? NoSavePath::PathTooLong
                : NoSavePath::NoHomeFolder;
    }
    if (situation.userFileExists && location.savePath[0] != '\0') {
        location.loadPath = location.savePath;
    } else if (situation.administratorFileExists) {
        PathBeside(situation.executableDirectory, location.loadPath);
    }
    return location;
}

}  // namespace trellan
