#include "settings/settings_location.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "support/row_name.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace trellan {
namespace {

namespace fs = std::filesystem;

using enum NoSavePath;
enum Copy { PORTABLE, INSTALLED, UNWRITABLE };  // UNWRITABLE: in a folder it may not write
enum Files { NONE, USER, ADMIN, BOTH };         // the per-user Set.ini, the one beside the program

// The rows' paths are written as on Linux; on Windows "/a/b" is "C:\a\b".
std::string Native(std::string path) {
#ifdef _WIN32
    if (path.starts_with('/')) {
        path.insert(0, "C:");
    }
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}

struct LocationCase {
    const char* name;
    Copy copy;
    std::string dir;         // the executable's folder
    std::string userFolder;  // the user's own settings folder
    Files files;
    std::string save, load;  // the paths chosen
    NoSavePath noSavePath = None;
};

// The longest folders whose Set.ini fits what the platform opens; one more character does not.
#ifdef _WIN32
constexpr std::size_t ROOM = 248;  // MAX_PATH, less "C:\", "\Set.ini" and the zero
#else
constexpr std::size_t ROOM = 246;  // PATH_CAPACITY, less "/", "/Set.ini" and the zero
#endif
const std::string LONG = "/" + std::string(ROOM, 'd'), TOO_LONG = LONG + "d";
const std::string ANN = "/home/ann/.config/trellan", CFG = "/home/ann/cfg/trellan";
const std::string BIN = "/usr/bin", BESIDE = "/usr/bin/Set.ini", INI = "/Set.ini";

const LocationCase LOCATIONS[] = {
    // A portable copy keeps Set.ini beside itself, whatever the user's folder and files say.
    {"portable", PORTABLE, LONG, CFG, BOTH, LONG + INI, LONG + INI},
    {"portable, too long", PORTABLE, TOO_LONG, ANN, NONE, "", "", PathTooLong},
    {"portable in the root", PORTABLE, "/", ANN, NONE, INI, INI},
    {"executable unknown", PORTABLE, "", ANN, NONE, "", "", ExecutableUnknown},
    // An installed copy: the user's file once it exists, else the administrator's, else the
    // defaults; never a save beside the executable.
    {"user's file", INSTALLED, BIN, CFG, BOTH, CFG + INI, CFG + INI},
    {"administrator's file", INSTALLED, BIN + "/", ANN, ADMIN, ANN + INI, BESIDE},
    {"no file", INSTALLED, BIN, ANN, NONE, ANN + INI, ""},
    {"no user folder", INSTALLED, BIN, "", ADMIN, "", BESIDE, NoUserFolder},
    {"no user folder, user's file", INSTALLED, BIN, "", USER, "", "", NoUserFolder},
    {"longest", INSTALLED, BIN, LONG, USER, LONG + INI, LONG + INI},
    {"too long", INSTALLED, BIN, TOO_LONG, BOTH, "", BESIDE, PathTooLong},
    {"unwritable folder", UNWRITABLE, "/mnt/cd", ANN, ADMIN, ANN + INI, "/mnt/cd/Set.ini"},
    {"unwritable folder, user's file", UNWRITABLE, "/mnt/cd", ANN, BOTH, ANN + INI, ANN + INI},
};

class SettingsLocationRule : public testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocationRule, PicksTheFilesOfTheRun) {
    const LocationCase& c = GetParam();
    const std::string dir = Native(c.dir), userFolder = Native(c.userFolder);
    const SettingsLocation location =
        ChooseSettingsLocation({dir, c.copy == INSTALLED, c.copy != UNWRITABLE, userFolder,
                                (c.files & USER) != 0, (c.files & ADMIN) != 0});
    EXPECT_EQ(location.savePath.data(), Native(c.save));
    EXPECT_EQ(location.loadPath.data(), Native(c.load));
    EXPECT_EQ(location.perUser, c.copy != PORTABLE);
    EXPECT_EQ(location.noSavePath, c.noSavePath);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsLocationRule, testing::ValuesIn(LOCATIONS),
                         support::RowName{});

#ifdef _WIN32
// %APPDATA%\Trellan, where the variable names an absolute folder: a drive's or a share's.
TEST(AppDataSettingsFolder, IsBelowAnAbsoluteFolder) {
    const std::pair<const char*, std::string> rows[] = {
        {"C:\\Users\\安\\AppData\\Roaming", "C:\\Users\\安\\AppData\\Roaming\\Trellan"},
        {"\\\\server\\profiles\\ann\\", "\\\\server\\profiles\\ann\\Trellan"},
        {"D:/", "D:\\Trellan"},
        {"C:", ""},  // the working folder of drive C
        {"AppData", ""},
        {"", ""},
        {nullptr, ""}};
    for (const auto& [appData, folder] : rows) {
        EXPECT_EQ(AppDataSettingsFolder(appData), folder) << (appData ? appData : "unset");
    }
}
#else
// $XDG_CONFIG_HOME/trellan, else $HOME/.config/trellan, where the variable is absolute.
TEST(XdgSettingsFolder, FollowsTheBaseDirectoryRules) {
    const struct {
        const char *xdg, *home;  // nullptr: unset
        std::string folder;
    } rows[] = {{"/home/ann/cfg/", "/home/ann", "/home/ann/cfg/trellan"},
                {"cfg", "/home/ann", "/home/ann/.config/trellan"},
                {"", "/", "/.config/trellan"},
                {nullptr, "ann", ""},
                {nullptr, nullptr, ""}};
    for (const auto& row : rows) {
        EXPECT_EQ(XdgSettingsFolder(row.xdg, row.home), row.folder) << row.folder;
    }
}

// An install is known by its desktop entry where the install rules put it relative to the
// program, wherever its prefix was moved; a folder below the bindir or elsewhere is not one.
TEST(HasInstalledFilesBeside, FindsTheInstallsFilesRelativeToTheProgram) {
    const support::TempDir dir;
    const fs::path bin = dir.Path() / "moved" / "usr" / "bin";
    fs::create_directories(bin / "x");
    fs::create_directories((bin / TRELLAN_INSTALLED_FILE).parent_path());
    support::WriteFile(bin / TRELLAN_INSTALLED_FILE, "[Desktop Entry]\n");
    EXPECT_TRUE(HasInstalledFilesBeside(bin.string()));
    EXPECT_FALSE(HasInstalledFilesBeside((bin / "x").string()));
}
#endif

// Each missing level is made (on Linux readable by its owner only); one that is there keeps its
// mode.
TEST(CreateUserSettingsFolder, MakesTheMissingLevelsPrivate) {
    const support::TempDir dir;
    const fs::path home = dir.Path() / "home";
    fs::create_directory(home);
#ifdef _WIN32
    const fs::path file = home / "Trellan" / "Set.ini";
#else
    ::chmod(home.c_str(), 0755);
    const fs::path file = home / ".config" / "trellan" / "Set.ini";
#endif
    const std::string path = file.string();
    ASSERT_TRUE(CreateUserSettingsFolder(path.c_str()));
    ASSERT_TRUE(CreateUserSettingsFolder(path.c_str()));  // and finds it there a second time
#ifndef _WIN32
    EXPECT_EQ(fs::status(home).permissions(), fs::perms{0755});
    EXPECT_EQ(fs::status(home / ".config").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    EXPECT_FALSE(CreateUserSettingsFolder("relative/trellan/Set.ini"));
#endif
    EXPECT_FALSE(fs::exists(file));  // the folder only; the save writes the file
    // Nowhere a folder can be: below a file.
    support::WriteFile(file, "not a folder");
    EXPECT_FALSE(CreateUserSettingsFolder((file / "trellan" / "Set.ini").string().c_str()));
}

}  // namespace
}  // namespace trellan
