#include "settings/settings_location.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

#include "settings/temp_dir.h"

namespace trellan {
namespace {

using testing_support::TempDir;

struct LocationCase {
    const char* name;
    SettingsSituation situation;
    std::string savePath;
    std::string loadPath;
    bool perUser;
};

constexpr std::string_view BINDIR = "/usr/bin";

SettingsSituation Portable(std::string_view directory) {
    SettingsSituation situation;
    situation.executableDirectory = directory;
    situation.installBindir = BINDIR;
    situation.home = "/home/ann";
    return situation;
}

SettingsSituation Installed(const char* xdgConfigHome, const char* home, bool userFile,
                            bool administratorFile) {
    SettingsSituation situation;
    situation.executableDirectory = BINDIR;
    situation.installBindir = BINDIR;
    situation.directoryWritable = true;  // root may write /usr/bin: the bindir decides alone
    situation.xdgConfigHome = xdgConfigHome;
    situation.home = home;
    situation.userFileExists = userFile;
    situation.administratorFileExists = administratorFile;
    return situation;
}

SettingsSituation Unwritable(std::string_view directory, bool administratorFile) {
    SettingsSituation situation = Portable(directory);
    situation.directoryWritable = false;
    situation.administratorFileExists = administratorFile;
    return situation;
}

SettingsSituation WithBindir(SettingsSituation situation, std::string_view bindir) {
    situation.installBindir = bindir;
    return situation;
}

// The longest folder whose Set.ini fits PATH_CAPACITY, and one byte more.
const std::string LONG_FOLDER = "/" + std::string(246, 'd');
const std::string LONG_FILE = LONG_FOLDER + "/Set.ini";
const std::string TOO_LONG_FOLDER = LONG_FOLDER + "e";

class ChooseSettingsLocationTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(ChooseSettingsLocationTest, PicksTheFilesOfTheRun) {
    const LocationCase& c = GetParam();
    const SettingsLocation location = ChooseSettingsLocation(c.situation);
    EXPECT_EQ(std::string(location.savePath.data()), c.savePath);
    EXPECT_EQ(std::string(location.loadPath.data()), c.loadPath);
    EXPECT_EQ(location.perUser, c.perUser);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ChooseSettingsLocationTest,
    ::testing::Values(
        // A portable copy keeps Set.ini beside itself, whatever the environment says.
        LocationCase{"PortableBuildTree", Portable("/home/ann/trellan/build/app"),
                     "/home/ann/trellan/build/app/Set.ini", "/home/ann/trellan/build/app/Set.ini",
                     false},
        LocationCase{"PortableIgnoresTheAdministratorsFile",
                     [] {
                         SettingsSituation s = Portable("/opt/calc");
                         s.administratorFileExists = true;
                         s.xdgConfigHome = "/home/ann/cfg";
                         return s;
                     }(),
                     "/opt/calc/Set.ini", "/opt/calc/Set.ini", false},
        LocationCase{"PortableInTheRootFolder", Portable("/"), "/Set.ini", "/Set.ini", false},
        LocationCase{"PortableLongestThatFits", Portable(LONG_FOLDER), LONG_FILE, LONG_FILE, false},
        LocationCase{"PortableTooLongStaysEmpty", Portable(TOO_LONG_FOLDER), "", "", false},
        LocationCase{"UnknownExecutableStaysEmpty", Portable(""), "", "", false},
        // Only the very bindir makes a copy installed, not a folder beside or below it.
        LocationCase{"BindirPrefixIsPortable", Portable("/usr/bin2"), "/usr/bin2/Set.ini",
                     "/usr/bin2/Set.ini", false},
        LocationCase{"BelowBindirIsPortable", Portable("/usr/bin/x"), "/usr/bin/x/Set.ini",
                     "/usr/bin/x/Set.ini", false},
        LocationCase{"BindirWithTrailingSlash",
                     WithBindir(Installed(nullptr, "/home/ann", false, false), "/usr/bin/"),
                     "/home/ann/.config/trellan/Set.ini", "", true},
        // An installed copy: the user's file once it exists, else the administrator's, else
        // the defaults; never a save beside the executable.
        LocationCase{"InstalledXdgSetUserFile", Installed("/home/ann/cfg", "/home/ann", true, true),
                     "/home/ann/cfg/trellan/Set.ini", "/home/ann/cfg/trellan/Set.ini", true},
        LocationCase{"InstalledXdgSetAdministratorsFile",
                     Installed("/home/ann/cfg", "/home/ann", false, true),
                     "/home/ann/cfg/trellan/Set.ini", "/usr/bin/Set.ini", true},
        LocationCase{"InstalledXdgSetNoFile",
                     Installed("/home/ann/cfg/", "/home/ann", false, false),
                     "/home/ann/cfg/trellan/Set.ini", "", true},
        LocationCase{"InstalledXdgUnset", Installed(nullptr, "/home/ann", false, false),
                     "/home/ann/.config/trellan/Set.ini", "", true},
        LocationCase{"InstalledXdgEmpty", Installed("", "/home/ann", true, false),
                     "/home/ann/.config/trellan/Set.ini", "/home/ann/.config/trellan/Set.ini",
                     true},
        LocationCase{"InstalledXdgRelative", Installed("cfg", "/home/ann", false, true),
                     "/home/ann/.config/trellan/Set.ini", "/usr/bin/Set.ini", true},
        LocationCase{"InstalledHomeIsRoot", Installed(nullptr, "/", false, false),
                     "/.config/trellan/Set.ini", "", true},
        LocationCase{"InstalledNoHomeReadsTheAdministratorsFile",
                     Installed(nullptr, nullptr, false, true), "", "/usr/bin/Set.ini", true},
        LocationCase{"InstalledRelativeHome", Installed("", "ann", true, false), "", "", true},
        LocationCase{"InstalledUserPathTooLong",
                     Installed((LONG_FOLDER).c_str(), "/home/ann", true, true), "",
                     "/usr/bin/Set.ini", true},
        // A folder that cannot be written is treated as installed, wherever it is.
        LocationCase{"UnwritableFolder", Unwritable("/mnt/cd", false),
                     "/home/ann/.config/trellan/Set.ini", "", true},
        LocationCase{"UnwritableFolderAdministratorsFile", Unwritable("/mnt/cd", true),
                     "/home/ann/.config/trellan/Set.ini", "/mnt/cd/Set.ini", true}),
    [](const ::testing::TestParamInfo<LocationCase>& param) { return param.param.name; });

TEST(UserSettingsPath, FitsItsBufferOrStaysEmpty) {
    std::array<char, PATH_CAPACITY> path{};
    const std::string suffix = "/trellan/Set.ini";
    const std::string fits(PATH_CAPACITY - 1 - suffix.size(), 'c');
    UserSettingsPath(("/" + fits.substr(1)).c_str(), nullptr, path);
    EXPECT_EQ(std::string(path.data()), "/" + fits.substr(1) + suffix);
    path.fill('x');
    UserSettingsPath(("/" + fits).c_str(), nullptr, path);
    EXPECT_STREQ(path.data(), "");
    EXPECT_EQ(path.back(), '\0');
}

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST(CreateUserSettingsFolder, MakesEveryMissingLevelPrivate) {
    const TempDir dir;
    const std::filesystem::path config = dir.Path() / "home" / ".config";
    const std::string file = (config / "trellan" / "Set.ini").string();
    ASSERT_TRUE(CreateUserSettingsFolder(file.c_str()));
    EXPECT_EQ(ModeOf(config), 0700u);
    EXPECT_EQ(ModeOf(config / "trellan"), 0700u);
    EXPECT_FALSE(std::filesystem::exists(file));  // the folder only; the save writes the file
}

TEST(CreateUserSettingsFolder, LeavesAnExistingFolderAsItIs) {
    const TempDir dir;
    const std::filesystem::path config = dir.Path() / ".config";
    std::filesystem::create_directory(config);
    ::chmod(config.c_str(), 0755);
    ASSERT_TRUE(CreateUserSettingsFolder((config / "trellan" / "Set.ini").c_str()));
    EXPECT_EQ(ModeOf(config), 0755u);
    EXPECT_EQ(ModeOf(config / "trellan"), 0700u);
    ASSERT_TRUE(CreateUserSettingsFolder((config / "trellan" / "Set.ini").c_str()));
}

TEST(CreateUserSettingsFolder, FailsWhereNoFolderCanBe) {
    const TempDir dir;
    const std::string blocker = dir.File("file");
    testing_support::WriteFile(blocker, "not a folder");
    EXPECT_FALSE(CreateUserSettingsFolder((blocker + "/trellan/Set.ini").c_str()));
    EXPECT_FALSE(CreateUserSettingsFolder(""));
    EXPECT_FALSE(CreateUserSettingsFolder("relative/trellan/Set.ini"));
}

// Run from the build tree, the tests are a portable copy: Set.ini beside the executable.
TEST(FindSettingsLocation, BuildTreeIsPortable) {
    const SettingsLocation location = FindSettingsLocation();
    const std::string beside =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Set.ini").string();
    EXPECT_EQ(std::string(location.savePath.data()), beside);
    EXPECT_EQ(std::string(location.loadPath.data()), beside);
    EXPECT_FALSE(location.perUser);
}

}  // namespace
}  // namespace trellan
