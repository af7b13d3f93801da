#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "settings/file_io.h"
#include "settings/windows_api.h"

// What the Windows halves of the settings file's reading and saving share. Paths are wide, and
// those of a save absolute in the form without a length limit ("\\?\C:\..."), so that a
// temporary's longer name beside a settings file near the limit still fits.
namespace trellan::win32 {

inline constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        std::swap(m_handle, other.m_handle);
        return *this;
    }

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    bool Close() {
        const HANDLE handle = std::exchange(m_handle, INVALID_HANDLE_VALUE);
        return handle == INVALID_HANDLE_VALUE || ::CloseHandle(handle) != FALSE;
    }

  private:
    HANDLE m_handle;
};

// The cause to tell the user for a failed call's GetLastError.
FileError ErrorOf(DWORD error);

// Where the file's name starts in a path.
std::size_t NameStart(std::wstring_view path);

// Held from reading the settings file to its replacement, so that one save at a time, in any
// copy of the program, edits it: a named mutex for the file. A holder that died leaves it to the
// next; one that keeps it too long makes the save fail as Busy.
class SaveLock {
  public:
    explicit SaveLock(const std::wstring& target);
    ~SaveLock();
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    FileError Error() const { return m_error; }

  private:
    HANDLE m_mutex = nullptr;
    FileError m_error = FileError::None;
};

// Stores edit's bytes as the content of the file at target: by a replacement beside it where
// that keeps everything the file has, else in place. present is what it holds now.
FileError StoreFile(const std::wstring& target, const FileContents& present, const FileEdit& edit);

// Removes what saves killed before their replacement left beside the target.
void RemoveLeftovers(const std::wstring& target);

}  // namespace trellan::win32
