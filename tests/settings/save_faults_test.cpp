// Saving the fee schedule when the file cannot be written: each time SaveFeeSchedule says so,
// the old file keeps every byte and no temporary file is left beside it.
//
// The tests run as root on CI, and root ignores permission bits: the cases that need them drop
// to the unprivileged user "nobody" in a child process; read-only and full file systems are
// mounted in a private mount namespace of a child, so nothing is seen outside it.
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <pwd.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/child_process.h"
#include "settings/settings_file.h"
#include "settings/temp_dir.h"

namespace trellan {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::RunInChild;
using testing_support::SKIP_PREFIX;
using testing_support::TempDir;
using testing_support::WriteFile;

const std::string ORIGINAL =
    "; rates\r\n[SET]\r\nCOMMISION=1.50\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n[Window]\r\nX=10\r\n";

std::string Errno(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

std::string Skip(const std::string& why) {
    return SKIP_PREFIX + why;
}

// Every file and folder under dir with the contents of each file.
using Snapshot = std::map<std::string, std::string>;

Snapshot Snap(const fs::path& dir) {
    Snapshot snapshot;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
        const std::string name = fs::relative(entry.path(), dir).string();
        snapshot[name] = entry.is_directory() ? "<folder>" : ReadFile(entry.path().string());
    }
    return snapshot;
}

std::string Describe(const Snapshot& snapshot) {
    std::string text;
    for (const auto& [name, contents] : snapshot) {
        text += "\n  " + name + " (" + std::to_string(contents.size()) + " bytes)";
    }
    return text;
}

struct Nobody {
    uid_t uid = 65534;
    gid_t gid = 65534;
};

Nobody FindNobody() {
    Nobody nobody;
    if (const passwd* entry = ::getpwnam("nobody")) {
        nobody.uid = entry->pw_uid;
        nobody.gid = entry->pw_gid;
    }
    return nobody;
}

// Hands a path to "nobody", when we are root and are about to become nobody.
void GiveToNobody(const std::string& path) {
    if (::geteuid() == 0) {
        const Nobody nobody = FindNobody();
        ASSERT_EQ(::chown(path.c_str(), nobody.uid, nobody.gid), 0) << Errno("chown");
    }
}

// Without root there is nothing to drop: permission bits apply already.
std::string DropPrivileges() {
    if (::geteuid() != 0) {
        return {};
    }
    const Nobody nobody = FindNobody();
    if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody.gid, nobody.gid, nobody.gid) != 0 ||
        ::setresuid(nobody.uid, nobody.uid, nobody.uid) != 0) {
        return Skip(Errno("cannot drop to the user nobody"));
    }
    return ::geteuid() == 0 ? Skip("still root after dropping privileges") : std::string{};
}

bool WriteText(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && written;
}

// A mount namespace of our own: as root directly, otherwise inside a user namespace of our own.
std::string EnterPrivateMountNamespace() {
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return Skip(Errno("no private mount namespace on this machine"));
        }
        const std::string uidMap = "0 " + std::to_string(uid) + " 1";
        const std::string gidMap = "0 " + std::to_string(gid) + " 1";
        if (!WriteText("/proc/self/setgroups", "deny") ||
            !WriteText("/proc/self/uid_map", uidMap) || !WriteText("/proc/self/gid_map", gidMap)) {
            return Skip(Errno("cannot map our user into a user namespace"));
        }
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return Skip(Errno("cannot make the mounts private"));
    }
    return {};
}

std::string MountReadOnly(const std::string& path) {
    if (std::string failed = EnterPrivateMountNamespace(); !failed.empty()) {
        return failed;
    }
    if (::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        ::mount(nullptr, path.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        return Skip(Errno("cannot bind-mount read-only"));
    }
    return {};
}

// A file system of 64 KiB over the folder, holding the settings file and a file that takes up
// every other byte.
std::string FillTinyFileSystem(const std::string& dir, const std::string& path) {
    if (std::string failed = EnterPrivateMountNamespace(); !failed.empty()) {
        return failed;
    }
    if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0) {
        return Skip(Errno("cannot mount a tmpfs"));
    }
    if (!WriteText(path.c_str(), ORIGINAL)) {
        return Errno("cannot write the settings file on the tmpfs");
    }
    const int filler = ::open((dir + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (filler < 0) {
        return Errno("cannot create the filler");
    }
    const std::array<char, 4096> block{};
    while (::write(filler, block.data(), block.size()) > 0) {
    }
    const bool full = errno == ENOSPC;
    ::close(filler);
    return full ? std::string{} : Errno("the tmpfs did not fill up");
}

// The place of the settings file, and what each case does to it.
struct Scene {
    std::string dir;
    std::string path;
};

struct FaultCase {
    const char* name;
    void (*setUp)(const Scene& scene);           // in the test, as the test's user
    std::string (*prepare)(const Scene& scene);  // in the child, just before saving
    std::string (*savePath)(const Scene& scene);
};

std::ostream& operator<<(std::ostream& out, const FaultCase& row) {
    return out << row.name;
}

void NoSetUp(const Scene& /*scene*/) {}

std::string NothingToPrepare(const Scene& /*scene*/) {
    return {};
}

std::string TheSettingsPath(const Scene& scene) {
    return scene.path;
}

// A folder of 249 bytes with its separator: "Set.ini" and the zero do not fit in the path.
std::string PathThatDidNotFit(const Scene& scene) {
    const std::string module = scene.dir + "/" + std::string(247 - scene.dir.size(), 'd') + "/calc";
    std::array<char, PATH_CAPACITY> path{};
    path.fill('#');
    SettingsPathBeside(module.c_str(), path);
    return path.data();
}

const FaultCase FAULTS[] = {
    {"FolderNotWritable",
     [](const Scene& scene) {
         GiveToNobody(scene.path);  // the file may be written, the folder may not
         ::chmod(scene.dir.c_str(), 0755);
     },
     [](const Scene& /*scene*/) { return DropPrivileges(); }, TheSettingsPath},
    {"FolderOnReadOnlyMount", NoSetUp, [](const Scene& scene) { return MountReadOnly(scene.dir); },
     TheSettingsPath},
    {"SetIniReadOnly",
     [](const Scene& scene) {
         GiveToNobody(scene.dir);  // the folder may be written, the file may not
         GiveToNobody(scene.path);
         ::chmod(scene.dir.c_str(), 0755);
         ::chmod(scene.path.c_str(), 0444);
     },
     [](const Scene& /*scene*/) { return DropPrivileges(); }, TheSettingsPath},
    {"SetIniOnReadOnlyMount", NoSetUp, [](const Scene& scene) { return MountReadOnly(scene.path); },
     TheSettingsPath},
    {"SetIniIsAFolder",
     [](const Scene& scene) {
         fs::remove(scene.path);
         fs::create_directory(scene.path);
         WriteFile(scene.path + "/inside", ORIGINAL);
     },
     NothingToPrepare, TheSettingsPath},
    {"DiskFull", NoSetUp,
     [](const Scene& scene) { return FillTinyFileSystem(scene.dir, scene.path); }, TheSettingsPath},
    {"FileSizeLimit", NoSetUp,
     [](const Scene& /*scene*/) {
         // Writes beyond 16 bytes fail with EFBIG: the first write is cut short, the next fails.
         std::signal(SIGXFSZ, SIG_IGN);
         const rlimit limit{16, 16};
         return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? std::string{} : Errno("setrlimit");
     },
     TheSettingsPath},
    {"PathDidNotFit", NoSetUp,
     [](const Scene& scene) {
         // A stray relative write would land here, where it is seen.
         return ::chdir(scene.dir.c_str()) == 0 ? std::string{} : Errno("chdir");
     },
     PathThatDidNotFit},
};

class SaveFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(SaveFaultTest, ReportsFailureAndLeavesEveryByte) {
    const TempDir dir;
    const Scene scene{dir.Path().string(), dir.File(SETTINGS_FILE_NAME)};
    WriteFile(scene.path, ORIGINAL);
    GetParam().setUp(scene);
    const Snapshot set = Snap(dir.Path());

    const std::string report = RunInChild([&scene] {
        if (std::string failed = GetParam().prepare(scene); !failed.empty()) {
            return failed;
        }
        const std::string path = GetParam().savePath(scene);
        if (GetParam().savePath == PathThatDidNotFit && !path.empty()) {
            return "the settings path that did not fit was not left empty: " + path;
        }
        const Snapshot before = Snap(scene.dir);
        if (SaveFeeSchedule(path.c_str(), 2.5, 0.5, 0.25)) {
            return std::string("SaveFeeSchedule reported success");
        }
        const Snapshot after = Snap(scene.dir);
        if (after != before) {
            return "the folder changed from" + Describe(before) + "\nto" + Describe(after);
        }
        return std::string{};
    });
    if (report.starts_with(SKIP_PREFIX)) {
        GTEST_SKIP() << report;
    }
    EXPECT_EQ(report, "");
    EXPECT_EQ(Snap(dir.Path()), set);
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveFaultTest, testing::ValuesIn(FAULTS),
                         [](const auto& row) { return row.param.name; });

// The fault cases must not pass for want of a working save: the same child, unhindered, saves.
TEST(SaveFaultTest, TheSameSaveSucceedsWithoutAFault) {
    const TempDir dir;
    const std::string path = dir.File(SETTINGS_FILE_NAME);
    WriteFile(path, ORIGINAL);
    const std::string report = RunInChild([&path] {
        return SaveFeeSchedule(path.c_str(), 2.5, 0.5, 0.25) ? std::string{}
                                                             : std::string("the save failed");
    });
    EXPECT_EQ(report, "");
    EXPECT_EQ(ReadFile(path), SettingsTextWith(ORIGINAL, 2.5, 0.5, 0.25));
}

}  // namespace
}  // namespace trellan
