#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
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

// The target must be writable by us, as the platform's profile calls require; otherwise a
// read-only settings file would silently be replaced.
bool MayReplace(const std::string& target, mode_t& mode) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0) {
        mode = DefaultFileMode();
        return errno == ENOENT;
    }
    mode = static_cast<mode_t>(existing.st_mode & 07777);
    return S_ISREG(existing.st_mode) &&
           ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
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
    mode_t mode = 0;
    if (!MayReplace(target, mode)) {
        return false;
    }
    std::string temporary = target + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.Get() < 0) {
        return false;
    }
    const bool written = ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), bytes) &&
                         ::fsync(fd.Get()) == 0 && fd.Close() &&
                         ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncDirectory(target);
    return true;
}

}  // namespace trellan
