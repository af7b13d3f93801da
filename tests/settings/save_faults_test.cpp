// Saving under faults. A save that cannot be done says so and leaves the folder byte for byte as
// it was, with no temporary file beside Set.ini; a save killed at any moment leaves the old file
// or the new one whole.
#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <map>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "settings/fee_settings.h"
#include "settings/settings_file.h"

#include "support/concurrent_saves.h"
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

// What a save must keep of a file: its inode's mode, owner, group and extended attributes
// (ACLs among them), before a "|" and its contents.
std::string Keeps(const fs::path& file) {
    struct stat info {};
    ::lstat(file.c_str(), &info);
    std::string kept = std::to_string(info.st_mode) + " " + std::to_string(info.st_uid) + ":" +
                       std::to_string(info.st_gid);
    std::array<char, 1024> names{}, value{};
    const auto size = static_cast<std::size_t>(
        std::max<ssize_t>(::llistxattr(file.c_str(), names.data(), names.size()), 0));
    for (std::size_t at = 0; at < size; at += std::strlen(&names[at]) + 1) {
        const ssize_t length = ::lgetxattr(file.c_str(), &names[at], value.data(), value.size());
        kept += std::string(" ") + &names[at] + "=" +
                std::string(value.data(), static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
    }
    return kept + "|";
}

// Every file, link and folder under dir: what a save keeps of each, and a file's contents.
std::map<fs::path, std::string> Snap(const fs::path& dir) {
    std::map<fs::path, std::string> snapshot;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
        const fs::path& path = entry.path();
        snapshot[path] = Keeps(path) + (entry.is_symlink()     ? fs::read_symlink(path).string()
                                        : entry.is_directory() ? "<folder>"
                                                               : ReadFile(path));
    }
    return snapshot;
}

// Files a save must leave as they are: a user's own copies, and a temporary a living save holds.
void BesideTheFile(const fs::path& dir) {
    for (const char* name : {"Set.ini.~backup", "Set.ini.~old123", "Set.ini.bak", "Set.ini~",
                             "Set.ini.trellan-save-held"}) {
        WriteFile(dir / name, "mine");
    }
    WriteFile(dir / "Set.ini.trellan-save-abc123", "left by a save that was killed");
}

void FolderInPlace(const fs::path& dir) {
    fs::remove(dir / "Set.ini");
    fs::create_directory(dir / "Set.ini");
    WriteFile(dir / "Set.ini" / "inside", ORIGINAL);
}

// Root's shared file, which the saver may write but not own.
void OwnedByRoot(const fs::path& dir) {
    ASSERT_EQ(::chown((dir / "Set.ini").c_str(), 0, 0), 0);
}

void WithAttributes(const fs::path& dir) {
    const fs::path file = dir / "Set.ini";
    ASSERT_EQ(::setxattr(file.c_str(), "user.origin", "shared", 6, 0), 0);
    ASSERT_EQ(::system(("setfacl -m u:0:rw " + file.string()).c_str()), 0);
}

void HardLinked(const fs::path& dir) {
    fs::create_hard_link(dir / "Set.ini", dir / "other.ini");
}

void DanglingLink(const fs::path& dir) {
    fs::remove(dir / "Set.ini");
    fs::create_symlink("real.ini", dir / "Set.ini");
}

struct FaultCase {
    const char* name;
    unsigned folderMode, fileMode;  // given to the folder and to Set.ini before the save
    void (*arrange)(const fs::path& dir);
    rlim_t sizeLimit;  // on the files the saver writes; 0: none
    bool saves;        // the save can be done after all, and is
    // The names that show the new text (the file's other names), and a leftover removed.
    std::vector<const char*> written = {"Set.ini"};
    const char* removed = nullptr;
};

const FaultCase FAULTS[] = {
    // A folder we may not write holding a Set.ini we may: the file is rewritten where it stands.
    {"unwritable folder", 0555, 0666, nullptr, 0, true},
    {"read-only file", 0777, 0444, nullptr, 0, false},
    {"a folder in place of the file", 0777, 0777, FolderInPlace, 0, false},
    {"failed write", 0777, 0666, nullptr, 16, false},  // as on a full disk
    {"the user's own files beside it",
     0777,
     0666,
     BesideTheFile,
     0,
     true,
     {"Set.ini"},
     "Set.ini.trellan-save-abc123"},
    // Replaced, the file would become the saver's: it is rewritten in place, root's still.
    {"a shared file of another owner", 0777, 0666, OwnedByRoot, 0, true},
    {"extended attributes and an ACL", 0777, 0666, WithAttributes, 0, true},
    {"a hard link", 0777, 0666, HardLinked, 0, true, {"Set.ini", "other.ini"}},
    {"a dangling link", 0777, 0666, DanglingLink, 0, true, {"real.ini"}},
};

// The saver's side: the exit status says whether the save told the truth and changed nothing
// else. Root ignores permission bits: there the saver becomes a user who owns nothing.
int SaveUnder(const FaultCase& row, const fs::path& dir, const fs::path& file) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::umask(022);
    const rlimit limit{row.sizeLimit, row.sizeLimit};
    if ((row.sizeLimit > 0 && ::setrlimit(RLIMIT_FSIZE, &limit) != 0) ||
        (::geteuid() == 0 &&
         (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))) {
        return 2;
    }
    auto expected = Snap(dir);
    // A living save's temporary is locked; the saver's own lock stands in for it.
    const int held = ::open((dir / "Set.ini.trellan-save-held").c_str(), O_RDONLY);
    if (held >= 0 && ::flock(held, LOCK_EX) != 0) {
        return 2;
    }
    if (row.saves) {
        const std::string text = SettingsTextWith(ORIGINAL, NEW);
        for (const char* name : row.written) {
            const auto kept = expected.find(dir / name);
            expected[dir / name] = kept == expected.end()
                                       ? "33188 65534:65534|" + SettingsTextWith("", NEW)
                                       : kept->second.substr(0, kept->second.find('|') + 1) + text;
        }
    }
    if (row.removed != nullptr) {
        expected.erase(dir / row.removed);
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
    fs::permissions(file, fs::perms{row.fileMode});
    if (::geteuid() == 0) {  // the saver's own file, but where a row says otherwise
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    }
    if (row.arrange != nullptr) {
        row.arrange(dir.Path());
    }
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

// As on vfat, exFAT and shares, where a file cannot be made without a name: opening one is
// refused, so that a save names its temporary for its whole life.
void RefuseUnnamedFiles() {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_TMPFILE & ~O_DIRECTORY, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
        std::_Exit(3);
    }
}

// Both ways a temporary is made: unnamed until the rename, and named for its whole life.
class Temporaries : public testing::TestWithParam<bool> {
  protected:
    // A saving child; in the named way its saves cannot make an unnamed file.
    pid_t Saver(const std::function<void()>& saves) const {
        const pid_t child = ::fork();
        if (child == 0) {
            if (GetParam()) {
                RefuseUnnamedFiles();
            }
            saves();
            std::_Exit(0);
        }
        return child;
    }
};

// Never a mixture, a cut file or none at all; the next save removes what a killed one left.
TEST_P(Temporaries, AKilledSaveLeavesTheOldOrTheNewFileWhole) {
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
    constexpr int ROUNDS = 150;
    long leftAtTheKill = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        WriteFile(path, ORIGINAL);
        const pid_t saver = Saver([&] {
            for (;;) {
                SaveFeeSchedule(path.c_str(), NEW);
                SaveFeeSchedule(path.c_str(), other);
            }
        });
        ASSERT_GE(saver, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(waitUs(random)));
        ::kill(saver, SIGKILL);
        ASSERT_EQ(::waitpid(saver, nullptr, 0), saver);
        const auto found = std::find(texts.begin(), texts.end(), ReadFile(path));
        ASSERT_NE(found, texts.end()) << "round " << round << ": Set.ini holds\n" << ReadFile(path);
        ++seen.at(static_cast<std::size_t>(found - texts.begin()));
        ASSERT_LE(leftovers(), 1) << "round " << round;
        leftAtTheKill += leftovers();
        ASSERT_TRUE(SaveFeeSchedule(path.c_str(), NEW));
        ASSERT_EQ(leftovers(), 0) << "round " << round << ": the next save left a file";
    }
    // Kills fell between the saves and within them: both new texts were seen whole.
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[2], 0);
    // A temporary named for its whole life is left by about half of the kills; one named only
    // for the rename, by very few.
    EXPECT_LT(leftAtTheKill, GetParam() ? ROUNDS : ROUNDS / 10);
}

// Copies saving at once, each changing its own key round after round: every change that was
// reported saved is in the final file, nothing is torn and nothing is left beside it.
TEST_P(Temporaries, CopiesSavingAtOnceLoseNoChange) {
    const support::TempDir dir;
    const std::string path = dir.File("Set.ini");
    std::vector<pid_t> savers;
    for (int copy = 0; copy < support::SAVING_COPIES; ++copy) {
        savers.push_back(Saver([&path, copy] {
            int lastSaved = -1;
            for (int round = 0; round < support::SAVING_ROUNDS; ++round) {
                lastSaved = support::SaveRound(path, copy, round) ? round : lastSaved;
            }
            std::_Exit(lastSaved == support::SAVING_ROUNDS - 1 ? 0 : 1);
        }));
    }
    for (const pid_t saver : savers) {
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
    }
    support::ExpectEveryLastChange(dir.Path(), path);
}

INSTANTIATE_TEST_SUITE_P(Saves, Temporaries, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& row) {
                             return row.param ? "Named" : "Unnamed";
                         });

}  // namespace
}  // namespace trellan
