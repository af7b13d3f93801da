#pragma once

#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/file_io.h"

// What the POSIX halves of the settings file's reading and saving share.
namespace trellan::posix {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    void Reset(int fd = -1) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

  private:
    int m_fd;
};

// The cause to tell the user for a failed call's errno.
FileError ErrorOf(int error);

// Writes all of bytes at offset; false with errno set on failure.
bool WriteAllAt(int fd, std::string_view bytes, off_t offset);

std::string DirectoryOf(const std::string& path);
std::string NameOf(const std::string& path);

// The file a save writes.
struct Target {
    std::string path;  // symbolic links followed
    bool exists = false;
    struct stat info {};
};

// Stores bytes as the target's content: by a replacement beside it where that keeps everything
// the file has, else in place. present is what the file holds now; folder is its folder, open
// for the sync after a rename (-1 when it could not be opened).
FileError StoreFile(const Target& target, std::string_view present, const FileEdit& edit,
                    int folder);

// Removes what saves killed before their rename left beside the target.
void RemoveLeftovers(const std::string& target);

}  // namespace trellan::posix
