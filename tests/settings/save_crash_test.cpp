// A save killed at any moment leaves the settings file whole: the old rates or the new ones,
// never a mixture, a truncated file or none at all.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/fee_schedule.h"

#include "settings/settings_file.h"
#include "settings/temp_dir.h"

namespace trellan {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

constexpr int ROUNDS = 300;
constexpr int LONGEST_WAIT_US = 3000;  // a few saves' worth

const std::string ORIGINAL =
    "; rates\r\n[SET]\r\nCOMMISION=1.50\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n[Window]\r\nX=10\r\n";

struct Triple {
    double commission, stampDuty, transfer;
};
constexpr Triple FIRST{2.5, 0.5, 0.25};
constexpr Triple SECOND{3.75, 1.25, 0.6};

[[noreturn]] void SaveForever(const std::string& path) {
    for (;;) {
        SaveFeeSchedule(path.c_str(), FIRST.commission, FIRST.stampDuty, FIRST.transfer);
        SaveFeeSchedule(path.c_str(), SECOND.commission, SECOND.stampDuty, SECOND.transfer);
    }
}

TEST(SaveCrash, AKilledSaveLeavesTheOldOrTheNewFileWhole) {
    const TempDir dir;
    const std::string path = dir.File(SETTINGS_FILE_NAME);
    const std::string first =
        SettingsTextWith(ORIGINAL, FIRST.commission, FIRST.stampDuty, FIRST.transfer);
    const std::string second =
        SettingsTextWith(ORIGINAL, SECOND.commission, SECOND.stampDuty, SECOND.transfer);
    ASSERT_NE(first, second);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> wait(0, LONGEST_WAIT_US);
    int seenOriginal = 0;
    int seenFirst = 0;
    int seenSecond = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        WriteFile(path, ORIGINAL);
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            SaveForever(path);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(wait(random)));
        ::kill(saver, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver ended by itself";

        const std::string now = ReadFile(path);
        seenOriginal += now == ORIGINAL ? 1 : 0;
        seenFirst += now == first ? 1 : 0;
        seenSecond += now == second ? 1 : 0;
        ASSERT_TRUE(now == ORIGINAL || now == first || now == second)
            << "round " << round << ": Set.ini holds\n"
            << now;
        const FeeSchedule loaded = LoadFeeSchedule(path.c_str());
        ASSERT_TRUE(loaded.commissionRate == FromPerMille(1.5) ||
                    loaded.commissionRate == FromPerMille(FIRST.commission) ||
                    loaded.commissionRate == FromPerMille(SECOND.commission));
        // A killed save may leave its temporary file; it is never the settings file.
        for (const fs::directory_entry& entry : fs::directory_iterator(dir.Path())) {
            if (entry.path().filename() != SETTINGS_FILE_NAME) {
                fs::remove(entry.path());
            }
        }
    }
    // Kills fell before, between and after the saves: both new texts were seen whole.
    EXPECT_GT(seenFirst, 0);
    EXPECT_GT(seenSecond, 0);
    RecordProperty("original", seenOriginal);
    RecordProperty("first", seenFirst);
    RecordProperty("second", seenSecond);
}

}  // namespace
}  // namespace trellan
