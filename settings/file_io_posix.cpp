#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/file_io.h"

namespace trellan {
namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    void Reset(int fd) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Follows a symbolic link so that a linked settings file is replaced where it really lives.
std::string ResolveTarget(const char* path) {
    struct stat link {};
    if (::lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path, resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

// The mode a newly created file gets from the user's umask.
mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncDirectory(const std::string& path) {
    const FileDescriptor dir(::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());  // best effort: the rename itself is already atomic
    }
}

// What a save needs to know of the file it replaces.
struct Existing {
    bool exists = false;
    struct stat info {};
};

// The target must be writable by us, as the platform's profile calls require; otherwise a
// read-only settings file would silently be replaced.
bool MayReplace(const std::string& target, Existing& existing) {
    if (::stat(target.c_str(), &existing.info) != 0) {
        return errno == ENOENT;
    }
    existing.exists = true;
    return S_ISREG(existing.info.st_mode) &&
           ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

// A temporary file's name: the target's, ".~" and six random characters.
constexpr std::string_view TEMPORARY_MARK = ".~";
constexpr std::size_t RANDOM_LENGTH = 6;

std::string TemporaryName(const std::string& target, std::uint64_t& seed) {
    static constexpr char DIGITS[] =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string name = target + std::string(TEMPORARY_MARK);
    for (std::size_t i = 0; i < RANDOM_LENGTH; ++i) {
        seed = seed * 6364136223846793005U + 1442695040888963407U;
        name += DIGITS[(seed >> 33U) % (sizeof DIGITS - 1)];
    }
    return name;
}

// The new content's file, beside the target so that a rename can replace it. Where the file
// system allows it, the file has no name until the moment of the rename, so that a save killed
// while writing leaves nothing behind. It is locked while it lives, so that a later save can
// tell a file left by a save killed at the rename from one still being written.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& target)
        : m_fd(::open(DirectoryOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)) {
        if (m_fd.Get() < 0) {
            // A file system without unnamed files.
            m_name = target + std::string(TEMPORARY_MARK) + std::string(RANDOM_LENGTH, 'X');
            m_fd.Reset(::mkstemp(m_name.data()));
            m_named = m_fd.Get() >= 0;
        }
        if (m_fd.Get() >= 0) {
            ::flock(m_fd.Get(), LOCK_EX | LOCK_NB);  // new, so nobody else holds it
        }
    }
    ~TemporaryFile() {
        if (m_named) {
            ::unlink(m_name.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int Get() const { return m_fd.Get(); }

    // Gives the written file the target's name. Closed only then, so that its lock lasts as
    // long as its name; its bytes are on the disk already.
    bool ReplaceTarget(const std::string& target) {
        if ((!m_named && !LinkBeside(target)) || ::rename(m_name.c_str(), target.c_str()) != 0) {
            return false;
        }
        m_named = false;
        m_fd.Close();
        return true;
    }

  private:
    // A name for the unnamed file, only for the rename that follows at once.
    bool LinkBeside(const std::string& target) {
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd.Get());
        auto seed = static_cast<std::uint64_t>(
            std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid());
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_name = TemporaryName(target, seed);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_name.c_str(), AT_SYMLINK_FOLLOW) ==
                0) {
                m_named = true;
                return true;
            }
            if (errno != EEXIST) {
                return false;
            }
        }
        return false;
    }

    FileDescriptor m_fd;
    std::string m_name;
    bool m_named = false;
};

// A save killed in the moment between naming its temporary file and the rename leaves that
// name behind (and one without unnamed files, at any moment): the next save removes every such
// file that no living save holds locked.
void RemoveLeftovers(const std::string& target) {
    const std::string directory = DirectoryOf(target);
    const std::string prefix = target.substr(target.rfind('/') + 1) + std::string(TEMPORARY_MARK);
    DIR* const folder = ::opendir(directory.c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + RANDOM_LENGTH || !name.starts_with(prefix)) {
            continue;
        }
        const std::string path = directory + "/" + std::string(name);
        const FileDescriptor file(
            ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        struct stat info {};
        if (file.Get() >= 0 && ::fstat(file.Get(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::flock(file.Get(), LOCK_EX | LOCK_NB) == 0) {
            ::unlink(path.c_str());
        }
    }
    ::closedir(folder);
}

// The owner and group of the file it replaces, where we may give them (root may; others only
// their own), so that a save by an administrator leaves a user's file the user's.
void KeepOwner(int fd, const Existing& existing) {
    if (existing.exists && ::fchown(fd, existing.info.st_uid, existing.info.st_gid) != 0) {
        return;  // not ours to give: the file becomes the saver's, as any new file would
    }
}

bool WriteAllAt0(int fd, std::string_view bytes) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// For a folder we may not write holding a file we may: the file is rewritten where it stands.
// Less safe than a rename, as a crash in the middle leaves a mixture; when a write fails, the
// old bytes are put back.
bool RewriteInPlace(const std::string& target, std::string_view bytes) {
    const FileContents old = ReadWholeFile(target.c_str());
    const FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info {};
    if (old.status != ReadStatus::Ok || fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 ||
        !S_ISREG(info.st_mode)) {
        return false;
    }
    if (WriteAllAt0(fd.Get(), bytes)) {
        return true;
    }
    WriteAllAt0(fd.Get(), old.bytes);
    return false;
}

}  // namespace

FileContents ReadWholeFile(const char* path) {
    FileContents contents;
    // Non-blocking, so that a path naming a FIFO cannot hang the open.
    const FileDescriptor fd(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        contents.status =
            errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
        return contents;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > MAX_SETTINGS_FILE_SIZE) {
        contents.status = ReadStatus::Failed;
        return contents;
    }
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || contents.bytes.size() > MAX_SETTINGS_FILE_SIZE) {
            contents.bytes.clear();
            contents.status = ReadStatus::Failed;
            return contents;
        }
        if (got == 0) {
            break;
        }
        contents.bytes.append(chunk, static_cast<std::size_t>(got));
    }
    contents.status = ReadStatus::Ok;
    return contents;
}

bool ReplaceFileAtomically(const char* path, std::string_view bytes) {
    if (path == nullptr || *path == '\0') {
        return false;
    }
    const std::string target = ResolveTarget(path);
    Existing existing;
    if (!MayReplace(target, existing)) {
        return false;
    }
    RemoveLeftovers(target);
    TemporaryFile temporary(target);
    if (temporary.Get() < 0) {
        // No new file can be made beside it: as the platform's profile call does, write the
        // file itself when we may.
        return existing.exists && RewriteInPlace(target, bytes);
    }
    KeepOwner(temporary.Get(), existing);
    const mode_t mode =
        existing.exists ? static_cast<mode_t>(existing.info.st_mode & 07777) : DefaultFileMode();
    if (::fchmod(temporary.Get(), mode) != 0 || !WriteAll(temporary.Get(), bytes) ||
        ::fsync(temporary.Get()) != 0 || !temporary.ReplaceTarget(target)) {
        return false;
    }
    SyncDirectory(target);
    return true;
}

}  // namespace trellan
