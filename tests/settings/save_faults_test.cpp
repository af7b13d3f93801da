// Saving under faults. A save that cannot be done says so and leaves the folder byte for byte as
// it was, with no temporary file beside Set.ini; a save killed at any moment leaves the old file
// or the new one whole.
#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "settings/settings_file.h"

#include "support/rates.h"
#include "support/row_name.h"
#include "support/temp_dir.h"

namespace trellan {
namespace {

namespace fs = std::filesystem;
using support::ReadFile;
using support::WriteFile;

const std::string ORIGINAL = "; rates\r\n[SET]\r\nCOMMISION=1.50\r\n[Window]\r\nX=10\r\n";
const PerMilleRates NEW = support::Rates(2.5, 0.5, 0.25);

// Every file and folder under dir, with the contents of each file.
std::map<fs::path, std::string> Snap(const fs::path& dir) {
    std::map<fs::path, std::string> snapshot;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
        snapshot[entry.path()] = entry.is_directory() ? "<folder>" : ReadFile(entry.path());
    }
    return snapshot;
}

struct FaultCase {
    const char* name;
    unsigned folderMode, fileMode;  // given to the folder and to Set.ini before the save
    bool folderInPlace;             // a folder named Set.ini instead of the file
    rlim_t sizeLimit;               // on the files the saver writes; 0: none
    bool saves;                     // the save can be done after all, and is
};

const FaultCase FAULTS[] = {
    // A folder we may not write holding a Set.ini we may: the file is rewritten where it stands.
    {"unwritable folder", 0555, 0666, false, 0, true},
    {"read-only file", 0777, 0444, false, 0, false},
    {"a folder in place of the file", 0777, 0777, true, 0, false},
    {"failed write", 0777, 0666, false, 16, false},  // as on a full disk
};

// The saver's side: the exit status says whether the save told the truth and changed nothing
// else. Root ignores permission bits: there the saver becomes a user who owns nothing.
int SaveUnder(const FaultCase& row, const fs::path& dir, const fs::path& file) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{row.sizeLimit, row.sizeLimit};
    if ((row.sizeLimit > 0 && ::setrlimit(RLIMIT_FSIZE, &limit) != 0) ||
        (::geteuid() == 0 &&
         (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))) {
        return 2;
    }
    auto expected = Snap(dir);
    if (row.saves) {
        expected[file] = SettingsTextWith(ORIGINAL, NEW);
    }
    const bool saved = SaveFeeSchedule(file.c_str(), NEW);
    const auto after = Snap(dir);
    std::fputs(testing::PrintToString(after).c_str(), stderr);
    return saved == row.saves && after == expected ? 0 : 1;
}

class SaveFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(SaveFaults, TellTheTruthAndChangeNothingElse) {
    const FaultCase& row = GetParam();
    const support::TempDir dir;
    const fs::path file = dir.Path() / SETTINGS_FILE_NAME;
    WriteFile(file, ORIGINAL);
    if (row.folderInPlace) {
        fs::remove(file);
        fs::create_directory(file);
        WriteFile(file / "inside", ORIGINAL);
    }
    fs::permissions(file, fs::perms{row.fileMode});
    fs::permissions(dir.Path(), fs::perms{row.folderMode});
    // In a child, so that its limit and its dropped privileges stay there.
    EXPECT_EXIT(std::_Exit(SaveUnder(row, dir.Path(), file)), testing::ExitedWithCode(0), "");
    fs::permissions(dir.Path(), fs::perms::owner_all);  // so that it can be removed
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveFaults, testing::ValuesIn(FAULTS), support::RowName{});

// Saved through a link, the file it points to is replaced, keeping its mode and, for a save by
// root (an administrator's), its owner, so that the user can still save to it.
TEST(SaveFeeSchedule, KeepsTheLinkModeAndOwner) {
    const support::TempDir dir;
    const std::string file = dir.File("real.ini"), link = dir.File("Set.ini");
    WriteFile(file, "[SET]\n");
    fs::create_symlink(file, link);
    const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();
    ASSERT_EQ(::chown(file.c_str(), owner, group), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(SaveFeeSchedule(link.c_str(), NEW));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_gid, group);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(support::ReadFile(file), SettingsTextWith("[SET]\n", NEW));
}

// Never a mixture, a cut file or none at all. The temporary file has a name only for the moment
// of the rename, and the next save removes one left then.
TEST(SaveCrash, AKilledSaveLeavesTheOldOrTheNewFileWhole) {
    const support::TempDir dir;
    const std::string path = (dir.Path() / SETTINGS_FILE_NAME).string();
    const PerMilleRates other = support::Rates(3.75, 1.25, 0.6);
    const std::array<std::string, 3> texts = {ORIGINAL, SettingsTextWith(ORIGINAL, NEW),
                                              SettingsTextWith(ORIGINAL, other)};
    const auto leftovers = [&dir] {
        return std::distance(fs::directory_iterator(dir.Path()), {}) - 1;
    };
    // Kills spread over the child's start and a few saves, however long a save takes here.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(SaveFeeSchedule(path.c_str(), NEW));
    const auto oneSave = std::chrono::steady_clock::now() - started;
    std::minstd_rand random(std::random_device{}());
    std::uniform_int_distribution<long> waitUs(
        0, 1000 + 5 * std::chrono::duration_cast<std::chrono::microseconds>(oneSave).count());
    std::array<int, 3> seen{};
    constexpr int ROUNDS = 300;
    long leftAtTheKill = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        WriteFile(path, ORIGINAL);
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        while (saver == 0) {
            SaveFeeSchedule(path.c_str(), NEW);
            SaveFeeSchedule(path.c_str(), other);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(waitUs(random)));
        ::kill(saver, SIGKILL);
        ASSERT_EQ(::waitpid(saver, nullptr, 0), saver);
        const auto found = std::find(texts.begin(), texts.end(), ReadFile(path));
        ASSERT_NE(found, texts.end()) << "round " << round << ": Set.ini holds\n" << ReadFile(path);
        ++seen.at(static_cast<std::size_t>(found - texts.begin()));
        leftAtTheKill += leftovers();
        ASSERT_TRUE(SaveFeeSchedule(path.c_str(), NEW));
        ASSERT_EQ(leftovers(), 0) << "round " << round << ": the next save left a file";
    }
    // Kills fell between the saves and within them: both new texts were seen whole.
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[2], 0);
    // A temporary file named for its whole life would be left by about half of the kills; one
    // named only for the rename, by very few.
    EXPECT_LT(leftAtTheKill, ROUNDS / 10);
}

}  // namespace
}  // namespace trellan
