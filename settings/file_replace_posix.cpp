#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "settings/file_io.h"
#include "settings/posix_file.h"

namespace trellan::posix {
namespace {

// The mode a newly created file gets from the user's umask.
mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

std::string TemporaryName(const std::string& target) {
    static std::uint64_t seed = static_cast<std::uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid());
    std::string name = target;
    name += TEMPORARY_INFIX;
    for (std::size_t i = 0; i < TEMPORARY_RANDOM_LENGTH; ++i) {
        seed = seed * 6364136223846793005U + 1442695040888963407U;
        name += TEMPORARY_CHARACTERS[(seed >> 33U) % TEMPORARY_CHARACTERS.size()];
    }
    return name;
}

// The new content's file, beside the target so that a rename can replace it. Where the file
// system allows it, the file has no name until the moment of the rename, so that a save killed
// while writing leaves nothing behind; elsewhere (vfat, exFAT, shares) it is named at once. It
// is locked while it lives, so that only a leftover of a dead save is ever taken for one.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& target)
        : m_fd(::open(DirectoryOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)) {
        for (int attempt = 0; m_fd.Get() < 0 && attempt < 100; ++attempt) {
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EEXIST) {
                return;  // the folder cannot take a new file at all
            }
            m_name = TemporaryName(target);
            m_fd.Reset(::open(m_name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600));
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

    // Gives the written file the target's name. The descriptor stays open until then, so that
    // its lock lasts as long as its name.
    bool ReplaceTarget(const std::string& target) {
        if ((!m_named && !NameBeside(target)) || ::rename(m_name.c_str(), target.c_str()) != 0) {
            return false;
        }
        m_named = false;
        return true;
    }

  private:
    // A name for the unnamed file, only for the rename that follows at once.
    bool NameBeside(const std::string& target) {
        // Appended, not concatenated: GCC 12 at -O3 takes a literal + string for an overlap.
        std::string self = "/proc/self/fd/";
        self += std::to_string(m_fd.Get());
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_name = TemporaryName(target);
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

// Gives the new file the old one's owner, group and extended attributes (ACLs, labels among
// them). False where any of it cannot be given: the save then writes the file in place, so that
// a user who may write a shared file never takes it from its owner.
bool KeepsWhatTheFileHas(int fd, const Target& target) {
    if (!target.exists) {
        return ::fchmod(fd, DefaultFileMode()) == 0;
    }
    if ((target.info.st_uid != ::geteuid() || target.info.st_gid != ::getegid()) &&
        ::fchown(fd, target.info.st_uid, target.info.st_gid) != 0) {
        return false;
    }
    const ssize_t size = ::listxattr(target.path.c_str(), nullptr, 0);
    if (size < 0) {
        return errno == ENOTSUP && ::fchmod(fd, target.info.st_mode & 07777) == 0;
    }
    std::vector<char> names(static_cast<std::size_t>(size));
    if (::listxattr(target.path.c_str(), names.data(), names.size()) != size) {
        return false;
    }
    for (std::size_t at = 0; at < names.size(); at += std::string_view(&names[at]).size() + 1) {
        const char* name = &names[at];
        const ssize_t length = ::getxattr(target.path.c_str(), name, nullptr, 0);
        std::vector<char> value(static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
        if (length < 0 ||
            ::getxattr(target.path.c_str(), name, value.data(), value.size()) != length ||
            ::fsetxattr(fd, name, value.data(), value.size(), 0) != 0) {
            return false;
        }
    }
    // After the ACL, whose mask is the group's bits.
    return ::fchmod(fd, target.info.st_mode & 07777) == 0;
}

// The file rewritten where it stands, holding the old or the new text whole at every moment:
// a shorter text is first padded with blank lines to the old length, written over the old one
// and synced, and only then is the file cut to the new length. A failed write puts the old
// bytes back.
FileError RewriteInPlace(const Target& target, std::string_view present, const FileEdit& edit) {
    const FileDescriptor fd(
        ::open(target.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return fd.Get() < 0 ? ErrorOf(errno) : FileError::NotAFile;
    }
    std::string padded = edit.bytes;
    while (!edit.lineEnd.empty() && padded.size() + edit.lineEnd.size() <= present.size()) {
        padded += edit.lineEnd;
    }
    if (WriteAllAt(fd.Get(), padded, 0) && ::fsync(fd.Get()) == 0 &&
        ::ftruncate(fd.Get(), static_cast<off_t>(edit.bytes.size())) == 0 &&
        ::fsync(fd.Get()) == 0) {
        return FileError::None;
    }
    const FileError error = ErrorOf(errno);
    if (WriteAllAt(fd.Get(), present, 0) &&
        ::ftruncate(fd.Get(), static_cast<off_t>(present.size())) == 0) {
        ::fsync(fd.Get());
    }
    return error;
}

}  // namespace

FileError StoreFile(const Target& target, std::string_view present, const FileEdit& edit,
                    int folder) {
    // Another name for the same file would keep the old rates if it were replaced.
    if (target.exists && target.info.st_nlink > 1) {
        return RewriteInPlace(target, present, edit);
    }
    TemporaryFile temporary(target.path);
    if (temporary.Get() < 0 || !KeepsWhatTheFileHas(temporary.Get(), target)) {
        // No new file can be made beside it, or not one the file's owner would still own.
        return target.exists ? RewriteInPlace(target, present, edit) : ErrorOf(errno);
    }
    if (!WriteAllAt(temporary.Get(), edit.bytes, 0) || ::fsync(temporary.Get()) != 0 ||
        !temporary.ReplaceTarget(target.path)) {
        return ErrorOf(errno);
    }
    // Until the folder is on the disk, a crash may still bring the old name back.
    return folder < 0 || ::fsync(folder) == 0 ? FileError::None : ErrorOf(errno);
}

void RemoveLeftovers(const std::string& target) {
    const std::string directory = DirectoryOf(target);
    const std::string fileName = NameOf(target);
    DIR* const folder = ::opendir(directory.c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        if (!IsTemporaryName(entry->d_name, fileName)) {
            continue;
        }
        std::string path = directory;
        path += '/';
        path += entry->d_name;
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

}  // namespace trellan::posix
