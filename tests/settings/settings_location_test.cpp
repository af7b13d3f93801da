#include "settings/settings_location.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace trellan {
namespace {

namespace fs = std::filesystem;

constexpr int USER = 1;   // the per-user Set.ini exists
constexpr int ADMIN = 2;  // so does the one beside the executable

struct LocationCase {
    const char* name;
    std::string dir;  // the executable's folder
    const char* xdg;  // XDG_CONFIG_HOME; nullptr: unset
    const char* home;
    int files;
    std::string save, load;  // the paths chosen
    bool perUser = true;
    bool writable = true;                      // may the executable's folder be written?
    NoSavePath noSavePath = NoSavePath::None;  // why save is empty, for the failed save to say
};

std::ostream& operator<<(std::ostream& out, const LocationCase& row) {
    return out << row.name;
}

// The longest folders whose Set.ini fits PATH_CAPACITY; one byte more does not fit.
const std::string LONG = "/" + std::string(246, 'd');
const std::string LONG_XDG = "/" + std::string(238, 'c');
const std::string LONG_XDG_TOO = LONG_XDG + "c";
const std::string ANN = "/home/ann/.config/trellan/Set.ini";
const std::string CFG = "/home/ann/cfg/trellan/Set.ini";
const std::string BESIDE = "/usr/bin/Set.ini";

const LocationCase LOCATIONS[] = {
    // A portable copy keeps Set.ini beside itself, whatever the environment and files say.
    {"Portable", "/opt", "/home/ann/cfg", "/", USER | ADMIN, "/opt/Set.ini", "/opt/Set.ini", false},
    {"PortableInTheRootFolder", "/", nullptr, "/home/ann", 0, "/Set.ini", "/Set.ini", false},
    {"PortableLongestThatFits", LONG, nullptr, "/", 0, LONG + "/Set.ini", LONG + "/Set.ini", false},
    {"PortableTooLongStaysEmpty", LONG + "e", nullptr, "/", 0, "", "", false, true,
     NoSavePath::PathTooLong},
    {"UnknownExecutableStaysEmpty", "", nullptr, "/home/ann", 0, "", "", false, true,
     NoSavePath::ExecutableUnknown},
    // An installed copy: the user's file once it exists, else the administrator's, else the
    // defaults; never a save beside the executable.
    {"InstalledXdgSetUserFile", "/usr/bin", "/home/ann/cfg", "/home/ann", USER | ADMIN, CFG, CFG},
    {"InstalledXdgSetAdministratorsFile", "/usr/bin", "/home/ann/cfg", "/", ADMIN, CFG, BESIDE},
    {"InstalledXdgSetNoFile", "/usr/bin", "/home/ann/cfg/", "/home/ann", 0, CFG, ""},
    {"InstalledXdgUnset", "/usr/bin", nullptr, "/home/ann", 0, ANN, ""},
    {"InstalledXdgEmpty", "/usr/bin", "", "/home/ann", USER, ANN, ANN},
    {"InstalledXdgRelative", "/usr/bin", "cfg", "/home/ann", ADMIN, ANN, BESIDE},
    {"InstalledHomeIsRoot", "/usr/bin", nullptr, "/", 0, "/.config/trellan/Set.ini", ""},
    {"InstalledNoHome", "/usr/bin", nullptr, nullptr, ADMIN, "", BESIDE, true, true,
     NoSavePath::NoHomeFolder},
    {"InstalledRelativeHome", "/usr/bin", "", "ann", USER, "", "", true, true,
     NoSavePath::NoHomeFolder},
    {"InstalledLongestThatFits", "/usr/bin", LONG_XDG.c_str(), "/", USER,
     LONG_XDG + "/trellan/Set.ini", LONG_XDG + "/trellan/Set.ini"},
    {"InstalledTooLong", "/usr/bin", LONG_XDG_TOO.c_str(), "/home/ann", USER | ADMIN, "", BESIDE,
     true, true, NoSavePath::PathTooLong},
    // A folder that cannot be written is treated as installed, wherever it is.
    {"UnwritableFolder", "/mnt/cd", nullptr, "/home/ann", 0, ANN, "", true, false},
    {"UnwritableFolderAdministratorsFile", "/mnt/cd", nullptr, "/home/ann", ADMIN, ANN,
     "/mnt/cd/Set.ini", true, false},
};

class SettingsLocationRule : public testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocationRule, PicksTheFilesOfTheRun) {
    const LocationCase& c = GetParam();
    const bool besideInstalledFiles = c.dir == "/usr/bin";  // the rows' install is into /usr
    const SettingsLocation location =
        ChooseSettingsLocation({c.dir, besideInstalledFiles, c.writable, c.xdg, c.home,
                                (c.files & USER) != 0, (c.files & ADMIN) != 0});
    EXPECT_EQ(std::string(location.savePath.data()), c.save);
    EXPECT_EQ(std::string(location.loadPath.data()), c.load);
    EXPECT_EQ(location.perUser, c.perUser);
    EXPECT_EQ(location.noSavePath, c.noSavePath);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsLocationRule, testing::ValuesIn(LOCATIONS),
                         [](const auto& row) { return row.param.name; });

// An install is known by its desktop entry where the install rules put it relative to the
// program, wherever its prefix was moved; a folder below the bindir or elsewhere is not one.
TEST(HasInstalledFilesBeside, FindsTheInstallsFilesRelativeToTheProgram) {
    const support::TempDir dir;
    const fs::path prefix = dir.Path() / "moved" / "usr";
    const fs::path entry = prefix / "bin" / TRELLAN_INSTALLED_FILE;
    fs::create_directories(entry.parent_path());
    support::WriteFile(entry, "[Desktop Entry]\n");
    const struct {
        fs::path folder;
        bool installed;
    } rows[] = {
        {prefix / "bin", true},
        {prefix / "bin" / "x", false},
        {dir.Path() / "tools", false},
    };
    for (const auto& row : rows) {
        fs::create_directories(row.folder);
        EXPECT_EQ(HasInstalledFilesBeside(row.folder.string()), row.installed) << row.folder;
    }
    EXPECT_FALSE(HasInstalledFilesBeside(""));
}

// Each missing level is made readable by its owner only; one that is there keeps its mode.
TEST(CreateUserSettingsFolder, MakesTheMissingLevelsPrivate) {
    const support::TempDir dir;
    const fs::path home = dir.Path() / "home";
    fs::create_directory(home);
    ::chmod(home.c_str(), 0755);
    const fs::path file = home / ".config" / "trellan" / "Set.ini";
    ASSERT_TRUE(CreateUserSettingsFolder(file.c_str()));
    ASSERT_TRUE(CreateUserSettingsFolder(file.c_str()));  // and finds them there a second time
    EXPECT_EQ(fs::status(home).permissions(), fs::perms{0755});
    EXPECT_EQ(fs::status(home / ".config").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(file));  // the folder only; the save writes the file
    // Nowhere a folder can be: below a file, or no absolute path.
    support::WriteFile(file, "not a folder");
    EXPECT_FALSE(CreateUserSettingsFolder((file / "trellan" / "Set.ini").c_str()));
    EXPECT_FALSE(CreateUserSettingsFolder(""));
    EXPECT_FALSE(CreateUserSettingsFolder("relative/trellan/Set.ini"));
}

// Run from the build tree, the tests are a portable copy: Set.ini beside the executable.
TEST(FindSettingsLocation, BuildTreeIsPortable) {
    const SettingsLocation location = FindSettingsLocation();
    const std::string beside = (fs::read_symlink("/proc/self/exe").parent_path() / "Set.ini");
    EXPECT_EQ(std::string(location.savePath.data()), beside);
    EXPECT_EQ(std::string(location.loadPath.data()), beside);
    EXPECT_FALSE(location.perUser);
}

}  // namespace
}  // namespace trellan
