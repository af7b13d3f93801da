#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

// Where the rates live, by one rule on Linux and Windows. A portable copy (run from a folder its
// user may write) keeps Set.ini beside itself. An installed copy cannot write beside itself, so
// it keeps each user's rates in their own settings folder and reads a Set.ini that an
// administrator put beside the executable as the defaults, until the user confirms rates of their
// own. Only the facts differ: the separator, what a path may hold, the user's folder and how an
// install is known.
namespace trellan {

#ifdef _WIN32
inline constexpr char PATH_SEPARATOR = '\\';
// Names the folder below which the user's settings folder lies, for a message.
inline constexpr char USER_FOLDER_VARIABLE[] = "APPDATA";
#else
inline constexpr char PATH_SEPARATOR = '/';
inline constexpr char USER_FOLDER_VARIABLE[] = "HOME";
#endif

// What start-up knows about the running copy and its user.
struct SettingsSituation {
    std::string_view executableDirectory;  // empty when unknown
    bool besideInstalledFiles = false;     // the install's other files are where it put them
    bool directoryWritable = true;         // may the executable's folder be written?
    std::string_view userFolder;           // the user's own settings folder; empty when none
    bool userFileExists = false;           // the per-user Set.ini
    bool administratorFileExists = false;  // the Set.ini beside the executable
};

// Why a run has nowhere to save, so that the failed save can say so.
enum class NoSavePath {
    None,               // there is a save path
    ExecutableUnknown,  // the executable's folder could not be had
    NoUserFolder,       // an installed copy, and the environment names no folder of the user's
    PathTooLong,        // the settings path would not fit
};

struct SettingsLocation {
    std::array<char, PATH_BUFFER_SIZE> savePath{};  // written by a confirmed save; empty: none
    std::array<char, PATH_BUFFER_SIZE> loadPath{};  // read once at start-up; empty: the defaults
    bool perUser = false;                           // savePath lies in the user's own folder
    NoSavePath noSavePath = NoSavePath::None;       // why savePath is empty
};

// Fills path with "Set.ini" in folder. Left empty when folder is, or when the path would not fit
// the buffer or, on Windows, what the system opens.
void SettingsPathIn(std::string_view folder, std::span<char, PATH_BUFFER_SIZE> path);

// The same beside the executable at modulePath; empty when the path has no folder or is longer
// than the platform hands out.
void SettingsPathBeside(const char* modulePath, std::span<char, PATH_BUFFER_SIZE> path);

// An installed copy stands where an install put it, or in a folder it may not write.
bool IsInstalledCopy(const SettingsSituation& situation);

// The paths a run uses, decided once at start-up.
SettingsLocation ChooseSettingsLocation(const SettingsSituation& situation);

// ChooseSettingsLocation for the running executable, its environment and its file system.
SettingsLocation FindSettingsLocation();

// The platform's facts that FindSettingsLocation asks for (settings_location_linux.cpp and
// settings_location_win32.cpp). The user's own settings folder, as the environment names it;
// empty when it names none.
std::string UserSettingsFolder();
// Whether a file can be made in the folder, as a save makes one.
bool MayCreateFilesIn(std::string_view folder);
// Whether the files an install puts beside the program are there (on Linux its desktop entry,
// found relative to the program's folder, wherever the install was moved with its prefix; never
// on Windows, which has no install of ours).
bool HasInstalledFilesBeside(std::string_view executableDirectory);
bool FileExists(const char* path);  // false for an empty path

#ifdef _WIN32
// "%APPDATA%\Trellan", from the variable's value in UTF-8. Empty when it is unset or not an
// absolute folder (a drive's "C:\…" or a share's "\\server\…").
std::string AppDataSettingsFolder(const char* appData);
#else
// "$XDG_CONFIG_HOME/trellan", or "$HOME/.config/trellan" when that variable is unset, empty or
// relative. Empty when neither gives an absolute folder.
std::string XdgSettingsFolder(const char* xdgConfigHome, const char* home);
#endif

// Creates the missing folders above the per-user settings file (on Linux each readable by its
// owner only). Returns false when the file's folder is not there afterwards.
bool CreateUserSettingsFolder(const char* settingsPath);

}  // namespace trellan
