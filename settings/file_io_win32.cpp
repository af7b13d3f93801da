#include <optional>
#include <string>
#include <utility>

#include "settings/file_io.h"
#include "settings/wide_text.h"
#include "settings/windows_api.h"
#include "settings/windows_file.h"

// Our text is UTF-8; Windows is asked through the wide calls so that a directory name in any
// script works, whatever the system's ANSI code page.
namespace trellan {
namespace win32 {

FileError ErrorOf(DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileError::DiskFull;
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
        case ERROR_INVALID_OWNER:
            return FileError::NoPermission;
        case ERROR_WRITE_PROTECT:
            return FileError::ReadOnlyFileSystem;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW:
            return FileError::PathTooLong;
        case ERROR_DIRECTORY:
            return FileError::NotAFile;
        case ERROR_FILE_TOO_LARGE:
            return FileError::TooLarge;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
            return FileError::Busy;
        default:
            return FileError::Other;
    }
}

std::size_t NameStart(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? 0 : separator + 1;
}

}  // namespace win32

namespace {

using namespace win32;

// path made absolute, in the form without a length limit; a device ("\\.\NUL") stays as it is.
// Empty when the system cannot make it absolute.
std::wstring FullLongPath(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    const DWORD length =
        needed == 0 ? 0 : ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return {};
    }
    full.resize(length);
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) {
        return full;  // already so, or a device
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);  // a share
    }
    return L"\\\\?\\" + full;
}

FileContents Failed(FileError error) {
    return {.status = ReadStatus::Failed, .error = error, .bytes = {}};
}

FileContents ReadAt(const std::wstring& path) {
    const FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, SHARE_ALL, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return {};
        }
        // A folder is not opened as a file: the system says access is denied.
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return Failed(folder ? FileError::NotAFile : ErrorOf(error));
    }
    // A device or a pipe ("CON", "NUL", "\\.\pipe\...") is not a settings file.
    LARGE_INTEGER size{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return Failed(FileError::NotAFile);
    }
    if (!::GetFileSizeEx(file.Get(), &size)) {
        return Failed(ErrorOf(::GetLastError()));
    }
    if (static_cast<unsigned long long>(size.QuadPart) > MAX_SETTINGS_FILE_SIZE) {
        return Failed(FileError::TooLarge);
    }
    FileContents contents{.status = ReadStatus::Ok, .error = FileError::None, .bytes = {}};
    char chunk[4096];
    for (DWORD got = 1; got != 0;) {
        if (!::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr)) {
            return Failed(ErrorOf(::GetLastError()));
        }
        contents.bytes.append(chunk, got);
        if (contents.bytes.size() > MAX_SETTINGS_FILE_SIZE) {
            return Failed(FileError::TooLarge);  // grew while we read it
        }
    }
    return contents;
}

}  // namespace

FileContents ReadWholeFile(const char* path) {
    if (path == nullptr || *path == '\0') {
        return {};
    }
    const std::optional<std::wstring> wide = Utf8ToWide(path);
    return wide ? ReadAt(*wide) : Failed(FileError::Other);
}

SaveOutcome EditFileLocked(const char* path, const FileEditor& edit) {
    const std::optional<std::wstring> wide = path == nullptr ? std::nullopt : Utf8ToWide(path);
    const std::wstring target = wide && !wide->empty() ? FullLongPath(*wide) : std::wstring();
    if (target.empty()) {
        return SaveOutcome::Failure(FileError::Other);
    }
    const SaveLock lock(target);
    if (lock.Error() != FileError::None) {
        return SaveOutcome::Failure(lock.Error());
    }
    RemoveLeftovers(target);
    const FileContents present = ReadAt(target);
    if (present.status == ReadStatus::Failed) {
        return SaveOutcome::Failure(present.error);  // its other lines would be lost
    }
    std::optional<FileEdit> next = edit(present.bytes);
    if (!next) {
        return SaveOutcome::Failure(FileError::TooLarge);
    }
    const FileError error = StoreFile(target, present, *next);
    if (error != FileError::None) {
        return SaveOutcome::Failure(error);
    }
    return {FileError::None, std::move(next->bytes)};
}

}  // namespace trellan
