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

// Root ignores permission bits: where they must bite, the saver becomes a user who owns nothing.
void DropPrivileges() {
    const uid_t nobody = 65534;
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0 ||
         ::setresuid(nobody, nobody, nobody) != 0)) {
        std::perror("cannot drop to an unprivileged user");
    }
}

struct FaultCase {
    const char* name;
    void (*prepare)(const fs::path& dir, const fs::path& file);  // in the saving child
    bool saves;  // the save can be done after all, and is
};

const FaultCase FAULTS[] = {
    // A folder we may not write holding a Set.ini we may: the file is rewritten where it stands.
    {"unwritable folder",
     [](const fs::path& dir, const fs::path& file) {
         fs::permissions(file, fs::perms{0666});
         fs::permissions(dir, fs::perms{0555});
         DropPrivileges();
     },
     true},
    {"read-only file",
     [](const fs::path& dir, const fs::path& file) {
         fs::permissions(dir, fs::perms::all);
         fs::permissions(file, fs::perms{0444});
         DropPrivileges();
     },
     false},
    {"failed write",  // past 16 bytes, as on a full disk
     [](const fs::path& /*dir*/, const fs::path& /*file*/) {
         std::signal(SIGXFSZ, SIG_IGN);
         const rlimit limit{16, 16};
         ::setrlimit(RLIMIT_FSIZE, &limit);
     },
     false},
    {"a folder in place of the file",
     [](const fs::path& /*dir*/, const fs::path& file) {
         fs::remove(file);
         fs::create_directory(file);
         WriteFile(file / "inside", ORIGINAL);
     },
     false},
};

class SaveFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(SaveFaults, TellTheTruthAndChangeNothingElse) {
    const support::TempDir dir;
    const fs::path file = dir.Path() / SETTINGS_FILE_NAME;
    WriteFile(file, ORIGINAL);
    // In a child, so that its limits and its dropped privileges stay there.
    EXPECT_EXIT(
        {
            GetParam().prepare(dir.Path(), file);
            auto expected = Snap(dir.Path());
            if (GetParam().saves) {
                expected[file] = SettingsTextWith(ORIGINAL, NEW);
            }
            const bool saved = SaveFeeSchedule(file.c_str(), NEW);
            const auto after = Snap(dir.Path());
            std::fputs(testing::PrintToString(after).c_str(), stderr);
            std::_Exit(saved == GetParam().saves && after == expected ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    fs::permissions(dir.Path(), fs::perms::owner_all);  // so that it can be removed
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveFaults, testing::ValuesIn(FAULTS), support::RowName{});

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
    for (int save = 0; save < 10; ++save) {
        SaveFeeSchedule(path.c_str(), NEW);
    }
    const auto tenSaves = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> waitUs(0, 1000 + tenSaves.count() / 2);
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
