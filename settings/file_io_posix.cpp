#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "settings/file_io.h"
#include "settings/posix_file.h"

namespace trellan {
namespace posix {

FileError ErrorOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return FileError::NoPermission;
        case EROFS:
            return FileError::ReadOnlyFileSystem;
        case ENOSPC:
        case EDQUOT:
            return FileError::DiskFull;
        case ENAMETOOLONG:
            return FileError::PathTooLong;
        case EISDIR:
        case ENXIO:
        case ENODEV:
            return FileError::NotAFile;
        case EFBIG:
            return FileError::TooLarge;
        case EWOULDBLOCK:
            return FileError::Busy;
        default:
            return FileError::Other;
    }
}

bool WriteAllAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? ENOSPC : errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

}  // namespace posix

namespace {

using posix::FileDescriptor;

// Where a save writes: a symbolic link is followed, a dangling one too, so that a linked
// settings file is written where it really lives.
bool FollowLinks(std::string& path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            return true;
        }
        char next[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), next, sizeof next - 1);
        if (length < 0) {
            return false;
        }
        const std::string_view to(next, static_cast<std::size_t>(length));
        path = to.starts_with('/') ? std::string(to)
                                   : posix::DirectoryOf(path) + "/" + std::string(to);
    }
    errno = ELOOP;
    return false;
}

// One save at a time: the lock is taken on the file's folder, which every copy's save opens,
// and held until the replacement is done. A folder that cannot be opened is locked through the
// file itself (only an in-place rewrite can happen there). Another save holds it for
// milliseconds; a copy stopped in the middle of one must not hang this one.
class SaveLock {
  public:
    explicit SaveLock(const std::string& target)
        : m_folder(::open(posix::DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        const FileDescriptor file(
            m_folder.Get() < 0 ? ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1);
        const int locked = m_folder.Get() >= 0 ? m_folder.Get() : file.Get();
        if (locked < 0) {
            m_error = posix::ErrorOf(errno);
            return;
        }
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (::flock(locked, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) ||
                std::chrono::steady_clock::now() > giveUp) {
                m_error = errno == EWOULDBLOCK ? FileError::Busy : posix::ErrorOf(errno);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (m_folder.Get() < 0) {
            m_file.Reset(::dup(file.Get()));  // the lock lives as long as an open descriptor
        }
    }

    FileError Error() const { return m_error; }
    int Folder() const { return m_folder.Get(); }

  private:
    FileDescriptor m_folder;
    FileDescriptor m_file;
    FileError m_error = FileError::None;
};

// The target as it stands: a file we may write, or none yet in an existing folder.
FileError Examine(posix::Target& target) {
    if (::stat(target.path.c_str(), &target.info) != 0) {
        return errno == ENOENT && ::access(posix::DirectoryOf(target.path).c_str(), F_OK) == 0
                   ? FileError::None
                   : posix::ErrorOf(errno);
    }
    target.exists = true;
    if (!S_ISREG(target.info.st_mode)) {
        return FileError::NotAFile;
    }
    // A read-only settings file is never written, as the platform's profile calls do.
    return ::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) == 0
               ? FileError::None
               : posix::ErrorOf(errno);
}

}  // namespace

FileContents ReadWholeFile(const char* path) {
    FileContents contents;
    // Non-blocking, so that a path naming a FIFO cannot hang the open.
    const FileDescriptor fd(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        contents.status = missing ? ReadStatus::Missing : ReadStatus::Failed;
        contents.error = missing ? FileError::None : posix::ErrorOf(errno);
        return contents;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > MAX_SETTINGS_FILE_SIZE) {
        contents.status = ReadStatus::Failed;
        contents.error = S_ISREG(info.st_mode) ? FileError::TooLarge : FileError::NotAFile;
        return contents;
    }
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || contents.bytes.size() > MAX_SETTINGS_FILE_SIZE) {
            contents.error = got < 0 ? posix::ErrorOf(errno) : FileError::TooLarge;
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

SaveOutcome EditFileLocked(const char* path, const FileEditor& edit) {
    posix::Target target{.path = path};
    if (target.path.empty() || !FollowLinks(target.path)) {
        return SaveOutcome::Failure(target.path.empty() ? FileError::Other : posix::ErrorOf(errno));
    }
    const SaveLock lock(target.path);
    if (lock.Error() != FileError::None) {
        return SaveOutcome::Failure(lock.Error());
    }
    if (const FileError error = Examine(target); error != FileError::None) {
        return SaveOutcome::Failure(error);
    }
    posix::RemoveLeftovers(target.path);
    const FileContents present = ReadWholeFile(target.path.c_str());
    if (present.status == ReadStatus::Failed) {
        return SaveOutcome::Failure(present.error);  // its other lines would be lost
    }
    std::optional<FileEdit> next = edit(present.bytes);
    if (!next) {
        return SaveOutcome::Failure(FileError::TooLarge);
    }
    const FileError error = posix::StoreFile(target, present.bytes, *next, lock.Folder());
    return error == FileError::None ? SaveOutcome{error, std::move(next->bytes)}
                                    : SaveOutcome::Failure(error);
}

}  // namespace trellan
