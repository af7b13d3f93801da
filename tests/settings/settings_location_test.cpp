#include "settings/settings_location.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

#include "support/row_name.h"
#include "support/temp_dir.h"

namespace trellan {
namespace {

namespace fs = std::filesystem;

using enum NoSavePath;
enum Copy { PORTABLE, INSTALLED, UNWRITABLE };  // UNWRITABLE: in a folder it may not write
enum Files { NONE, USER, ADMIN, BOTH };         // the per-user Set.ini, the one beside the program

struct LocationCase {
    const char* name;
    Copy copy;
    std::string dir;         // the executable's folder
    const char *xdg, *home;  // XDG_CONFIG_HOME and HOME; nullptr: unset
    Files files;
    std::string save, load;  // the paths chosen
    NoSavePath noSavePath = None;
};

// The longest folders whose Set.ini fits the path's buffer; one byte more does not fit.
const std::string LONG = "/" + std::string(246, 'd');
const std::string LONG_XDG = "/" + std::string(238, 'c'), TOO_LONG_XDG = LONG_XDG + "c";
const std::string ANN = "/home/ann/.config/trellan/Set.ini", CFG = "/home/ann/cfg/trellan/Set.ini";
const std::string BIN = "/usr/bin", BESIDE = "/usr/bin/Set.ini", IN = "/trellan/Set.ini";

const LocationCase LOCATIONS[] = {
    // A portable copy keeps Set.ini beside itself, whatever the environment and files say.
    {"portable", PORTABLE, LONG, "/cfg", "/", BOTH, LONG + "/Set.ini", LONG + "/Set.ini"},
    {"portable, too long", PORTABLE, LONG + "e", nullptr, "/", NONE, "", "", PathTooLong},
    {"portable in the root", PORTABLE, "/", nullptr, "/home/ann", NONE, "/Set.ini", "/Set.ini"},
    {"executable unknown", PORTABLE, "", nullptr, "/home/ann", NONE, "", "", ExecutableUnknown},
    // An installed copy: the user's file once it exists, else the administrator's, else the
    // defaults; never a save beside the executable.
    {"user's file", INSTALLED, BIN, "/home/ann/cfg/", "/home/ann", BOTH, CFG, CFG},
    {"XDG relative", INSTALLED, BIN, "cfg", "/home/ann", USER, ANN, ANN},
    {"home is the root", INSTALLED, BIN, nullptr, "/", NONE, "/.config" + IN, ""},
    {"no home", INSTALLED, BIN, nullptr, nullptr, ADMIN, "", BESIDE, NoHomeFolder},
    {"relative home", INSTALLED, BIN, "", "ann", USER, "", "", NoHomeFolder},
    {"longest", INSTALLED, BIN, LONG_XDG.c_str(), "/", USER, LONG_XDG + IN, LONG_XDG + IN},
    {"too long", INSTALLED, BIN, TOO_LONG_XDG.c_str(), "/", BOTH, "", BESIDE, PathTooLong},
    {"unwritable folder", UNWRITABLE, "/mnt/cd", nullptr, "/home/ann", ADMIN, ANN,
     "/mnt/cd/Set.ini"},
};

class SettingsLocationRule : public testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocationRule, PicksTheFilesOfTheRun) {
    const LocationCase& c = GetParam();
    const SettingsLocation location =
        ChooseSettingsLocation({c.dir, c.copy == INSTALLED, c.copy != UNWRITABLE, c.xdg, c.home,
                                (c.files & USER) != 0, (c.files & ADMIN) != 0});
    EXPECT_EQ(location.savePath.data(), c.save);
    EXPECT_EQ(location.loadPath.data(), c.load);
    EXPECT_EQ(location.perUser, c.copy != PORTABLE);
    EXPECT_EQ(location.noSavePath, c.noSavePath);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsLocationRule, testing::ValuesIn(LOCATIONS),
                         support::RowName{});

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
    EXPECT_FALSE(CreateUserSettingsFolder("relative/trellan/Set.ini"));
}

}  // namespace
}  // namespace trellan
