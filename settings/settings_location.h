#pragma once

#include <array>
#include <string_view>

#include "settings/settings_file.h"

// Where the rates live on Linux. A portable copy (run from a folder its user may write) keeps
// Set.ini beside itself, as on Windows. An installed copy cannot write beside itself, so it keeps
// each user's rates in their own configuration folder and reads a Set.ini that an administrator
// put beside the executable as the defaults, until the user confirms rates of their own.
namespace trellan {

inline constexpr char SETTINGS_FOLDER_NAME[] = "trellan";

// What start-up knows about the running copy and its user.
struct SettingsSituation {
    std::string_view executableDirectory;  // no trailing separator; empty when unknown
    bool besideInstalledFiles = false;     // the install's other files are where it put them
    bool directoryWritable = true;         // may the executable's folder be written?
    const char* xdgConfigHome = nullptr;   // as the environment has it; null when unset
    const char* home = nullptr;
    bool userFileExists = false;           // the per-user Set.ini
    bool administratorFileExists = false;  // the Set.ini beside the executable
};

// Why a run has nowhere to save, so that the failed save can say so.
enum class NoSavePath {
    None,               // there is a save path
    ExecutableUnknown,  // the executable's folder could not be had
    NoHomeFolder,       // an installed copy, and neither XDG_CONFIG_HOME nor HOME is absolute
    PathTooLong,        // the settings path would not fit
};

struct SettingsLocation {
    std::array<char, PATH_BUFFER_SIZE> savePath{};  // written by a confirmed save; empty: none
    std::array<char, PATH_BUFFER_SIZE> loadPath{};  // read once at start-up; empty: the defaults
    bool perUser = false;                           // savePath lies in the user's own folder
    NoSavePath noSavePath = NoSavePath::None;       // why savePath is empty
};

// An installed copy stands where an install put it, or in a folder it may not write.
bool IsInstalledCopy(const SettingsSituation& situation);

// "$XDG_CONFIG_HOME/trellan/Set.ini", or "$HOME/.config/trellan/Set.ini" when that variable is
// unset, empty or relative. Empty when neither gives an absolute folder, or the path would not
// fit.
void UserSettingsPath(const char* xdgConfigHome, const char* home,
                      std::span<char, PATH_BUFFER_SIZE> path);

// The paths a run uses, decided once at start-up.
SettingsLocation ChooseSettingsLocation(const SettingsSituation& situation);

// ChooseSettingsLocation for the running executable, its environment and its file system.
SettingsLocation FindSettingsLocation();

// Whether the files an install puts beside the program (its desktop entry, found relative to
// the program's folder) are there: true wherever the install was moved with its prefix.
bool HasInstalledFilesBeside(std::string_view executableDirectory);

// Creates the missing folders above the per-user settings file, each readable by its owner
// only. Returns false when the file's folder is not there afterwards.
bool CreateUserSettingsFolder(const char* settingsPath);

}  // namespace trellan
