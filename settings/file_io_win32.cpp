#include <algorithm>
#include <optional>
#include <string>

#include "settings/file_io.h"
#include "settings/wide_text.h"
#include "settings/windows_api.h"

// Our text is UTF-8; Windows is asked through the wide calls so that a directory name in any
// script works, whatever the system's ANSI code page.
namespace trellan {
namespace {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() {
        if (IsOpen()) {
            ::CloseHandle(m_handle);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : m_handle(other.m_handle) {
        other.m_handle = INVALID_HANDLE_VALUE;
    }
    FileHandle& operator=(FileHandle&&) = delete;

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    bool Close() {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != FALSE;
    }

  private:
    HANDLE m_handle;
};

bool IsMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// The attributes a replaced file keeps (hidden, system, archive, not indexed); a read-only one
// is never replaced, and the rest belong to the file system, not to the file's owner.
constexpr DWORD KEPT_ATTRIBUTES = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Whether the target may be replaced, as the platform's profile calls would write it: a
// missing file may be created, an existing one must be a file that we may write. attributes
// receives what the new file should carry.
bool MayReplace(const std::wstring& target, DWORD& attributes) {
    const DWORD existing = ::GetFileAttributesW(target.c_str());
    if (existing == INVALID_FILE_ATTRIBUTES) {
        attributes = FILE_ATTRIBUTE_NORMAL;
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    if ((existing & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    attributes = existing & KEPT_ATTRIBUTES;
    if (attributes == 0) {
        attributes = FILE_ATTRIBUTE_NORMAL;
    }
    // Opening for writing asks the file's access rights without changing a byte.
    const FileHandle probe(::CreateFileW(target.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe.IsOpen() && ::GetFileType(probe.Get()) == FILE_TYPE_DISK;
}

// The target's directory with its separator; empty for a bare file name.
std::wstring DirectoryOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

// A new, empty file beside the target whose name no other file has; its name goes to
// temporary. The name ("~" and six hex digits) is no longer than "Set.ini", so a settings path
// that fits the platform's path limit leaves room for it.
FileHandle CreateTemporaryBeside(const std::wstring& target, std::wstring& temporary) {
    const std::wstring directory = DirectoryOf(target);
    unsigned long seed = ::GetCurrentProcessId() * 2654435761UL + ::GetTickCount();
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        seed = seed * 1103515245UL + 12345UL;
        temporary = directory + L"~";
        for (int shift = 20; shift >= 0; shift -= 4) {
            temporary += L"0123456789ABCDEF"[(seed >> (shift + 4)) & 0xFUL];
        }
        FileHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsOpen() || ::GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return FileHandle(INVALID_HANDLE_VALUE);
}

bool WriteAllAtStart(HANDLE file, std::string_view bytes) {
    LARGE_INTEGER start{};
    return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && WriteAll(file, bytes) &&
           ::SetEndOfFile(file) && ::FlushFileBuffers(file);
}

// For a folder we may not write holding a file we may (as the platform's profile call writes
// it there): the file is rewritten where it stands. Less safe than a move, as a crash in the
// middle leaves a mixture; when a write fails, the old bytes are put back.
bool RewriteInPlace(const char* path, const std::wstring& target, std::string_view bytes) {
    const FileContents old = ReadWholeFile(path);
    const FileHandle file(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (old.status != ReadStatus::Ok || !file.IsOpen() ||
        ::GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return false;
    }
    if (WriteAllAtStart(file.Get(), bytes)) {
        return true;
    }
    WriteAllAtStart(file.Get(), old.bytes);
    return false;
}

}  // namespace

FileContents ReadWholeFile(const char* path) {
    FileContents contents;
    if (path == nullptr || *path == '\0') {
        return contents;
    }
    const std::optional<std::wstring> wide = Utf8ToWide(path);
    if (!wide) {
        contents.status = ReadStatus::Failed;
        return contents;
    }
    const FileHandle file(::CreateFileW(wide->c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        contents.status =
            IsMissingError(::GetLastError()) ? ReadStatus::Missing : ReadStatus::Failed;
        return contents;
    }
    // A device or a pipe ("CON", "NUL", "\\.\pipe\...") is not a settings file.
    LARGE_INTEGER size{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK || !::GetFileSizeEx(file.Get(), &size) ||
        static_cast<unsigned long long>(size.QuadPart) > MAX_SETTINGS_FILE_SIZE) {
        contents.status = ReadStatus::Failed;
        return contents;
    }
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) ||
            contents.bytes.size() > MAX_SETTINGS_FILE_SIZE) {
            contents.bytes.clear();
            contents.status = ReadStatus::Failed;
            return contents;
        }
        if (got == 0) {
            break;
        }
        contents.bytes.append(chunk, got);
    }
    contents.status = ReadStatus::Ok;
    return contents;
}

bool ReplaceFileAtomically(const char* path, std::string_view bytes) {
    if (path == nullptr || *path == '\0') {
        return false;
    }
    const std::optional<std::wstring> target = Utf8ToWide(path);
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (!target || !MayReplace(*target, attributes)) {
        return false;
    }
    std::wstring temporary;
    FileHandle file = CreateTemporaryBeside(*target, temporary);
    if (!file.IsOpen()) {
        // No new file can be made beside it: write the file itself when we may.
        return ::GetFileAttributesW(target->c_str()) != INVALID_FILE_ATTRIBUTES &&
               RewriteInPlace(path, *target, bytes);
    }
    // Flushed before the move, so that after a crash the name holds either the old or the
    // complete new file; the move itself is written through before it returns.
    const bool written = WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get()) &&
                         file.Close() && ::SetFileAttributesW(temporary.c_str(), attributes) &&
                         ::MoveFileExW(temporary.c_str(), target->c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) {
        if (file.IsOpen()) {
            file.Close();
        }
        ::SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace trellan
