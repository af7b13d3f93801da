#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/file_io.h"
#include "settings/wide_text.h"
#include "settings/windows_api.h"
#include "settings/windows_file.h"

// The owners of files (GetSecurityInfo), which needs the Windows headers before it.
#include <aclapi.h>

namespace trellan::win32 {
namespace {

// The attributes a replaced file keeps (hidden, system, archive, not indexed); a read-only one
// is never replaced, and the rest belong to the file system, not to the file's owner.
constexpr DWORD KEPT_ATTRIBUTES = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::wstring Wide(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

// A new file beside the target, made for us alone: while we hold it, no other handle may open
// or delete it, so that no other save takes it for a leftover. Its name goes to temporary.
FileHandle CreateTemporaryBeside(const std::wstring& target, std::wstring& temporary) {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    std::uint64_t seed = static_cast<std::uint64_t>(counter.QuadPart) ^
                         (std::uint64_t{::GetCurrentProcessId()} << 32) ^ ::GetCurrentThreadId();
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary = target + Wide(TEMPORARY_INFIX);
        for (std::size_t i = 0; i < TEMPORARY_RANDOM_LENGTH; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            temporary +=
                static_cast<wchar_t>(TEMPORARY_CHARACTERS[static_cast<std::size_t>(seed >> 33) %
                                                          TEMPORARY_CHARACTERS.size()]);
        }
        // No sharing: while we hold it, no cleanup of another save can delete it.
        FileHandle file(::CreateFileW(temporary.c_str(),
                                      GENERIC_READ | GENERIC_WRITE | READ_CONTROL, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsOpen() || ::GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return FileHandle(INVALID_HANDLE_VALUE);
}

// Writes bytes from the file's start and syncs them.
bool WriteFromStart(HANDLE file, std::string_view bytes) {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
        return false;
    }
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return ::FlushFileBuffers(file) != FALSE;
}

// Ends the file after size bytes and syncs it.
bool CutAt(HANDLE file, std::size_t size) {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file) &&
           ::FlushFileBuffers(file);
}

// For a file that cannot be replaced as a whole (in a folder we may not write, with other
// names, owned by another user): it is rewritten where it stands. A shorter text is first
// padded with line ends to the old length and synced, and only then is the file cut, so that a
// save killed at any moment leaves the old text or the new one (with blank lines after it),
// never a tail of the old one. When a write fails, the old bytes are put back.
FileError RewriteInPlace(const std::wstring& target, std::string_view old, const FileEdit& next) {
    const FileHandle file(::CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        return ErrorOf(::GetLastError());
    }
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return FileError::NotAFile;
    }
    const std::string_view lineEnd =
        next.lineEnd.empty() ? std::string_view("\n") : std::string_view(next.lineEnd);
    std::string padded = next.bytes;
    while (padded.size() + lineEnd.size() <= old.size()) {
        padded += lineEnd;
    }
    if (WriteFromStart(file.Get(), padded) && CutAt(file.Get(), next.bytes.size())) {
        return FileError::None;
    }
    const DWORD error = ::GetLastError();
    if (WriteFromStart(file.Get(), old)) {
        CutAt(file.Get(), old.size());
    }
    return ErrorOf(error);
}

// Whether a file we make would have another owner than the file has (an administrator's file
// that a user may write): a replacement would hand it to the user. Where the file system keeps
// no owners, they do not differ.
bool OwnersDiffer(HANDLE file, HANDLE ours) {
    PSID fileOwner = nullptr, ourOwner = nullptr;
    PSECURITY_DESCRIPTOR fileSecurity = nullptr, ourSecurity = nullptr;
    const bool known =
        ::GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &fileOwner, nullptr,
                          nullptr, nullptr, &fileSecurity) == ERROR_SUCCESS &&
        ::GetSecurityInfo(ours, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &ourOwner, nullptr,
                          nullptr, nullptr, &ourSecurity) == ERROR_SUCCESS;
    const bool differ =
        known && fileOwner != nullptr && ourOwner != nullptr && !::EqualSid(fileOwner, ourOwner);
    ::LocalFree(fileSecurity);
    ::LocalFree(ourSecurity);
    return differ;
}

// Our temporary file: gone again when the save does not use it.
struct Temporary {
    std::wstring name;
    FileHandle file{INVALID_HANDLE_VALUE};

    ~Temporary() { Discard(); }
    void Discard() {
        file.Close();
        if (!name.empty()) {
            ::DeleteFileW(name.c_str());
        }
        Keep();
    }
    // Not ours to delete: it took the file's name, holds the only copy of the new text, or was
    // never made (its name may be another's).
    void Keep() { name.clear(); }
};

// The file a save is about to replace: open with the rights a replacement needs (as ReplaceFileW
// opens it), and whether it must be rewritten in place instead.
struct Examined {
    FileError error = FileError::None;
    FileHandle handle;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;  // what the replacement carries
    bool inPlace = false;
};

Examined Examine(const std::wstring& target) {
    Examined file;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        file.error = ErrorOf(::GetLastError());
        return file;
    }
    // The platform's own profile call will not write a read-only file, so neither do we.
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        file.error = FileError::NoPermission;
        return file;
    }
    if ((attributes & KEPT_ATTRIBUTES) != 0) {
        file.attributes = attributes & KEPT_ATTRIBUTES;
    }
    file.handle = FileHandle(::CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                           SHARE_ALL, nullptr, OPEN_EXISTING, 0, nullptr));
    // One we may write but not delete cannot be replaced: it is rewritten where it stands.
    if (!file.handle.IsOpen() && ::GetLastError() == ERROR_ACCESS_DENIED) {
        file.inPlace = true;
        file.handle = FileHandle(::CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                               SHARE_ALL, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    if (!file.handle.IsOpen()) {
        file.error = ErrorOf(::GetLastError());  // held by a program that lets no one replace it
        return file;
    }
    // A replacement would leave the file's other names with the old text.
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(file.handle.Get(), &info) && info.nNumberOfLinks > 1) {
        file.inPlace = true;
    }
    return file;
}

}  // namespace

FileError StoreFile(const std::wstring& target, const FileContents& present, const FileEdit& next) {
    const bool exists = present.status == ReadStatus::Ok;
    Examined file;
    if (exists && (file = Examine(target)).error != FileError::None) {
        return file.error;
    }
    bool inPlace = file.inPlace;
    Temporary temporary;
    if (!inPlace) {
        temporary.file = CreateTemporaryBeside(target, temporary.name);
        if (!temporary.file.IsOpen()) {
            const DWORD error = ::GetLastError();
            temporary.Keep();
            // No file can be made in the folder: the file itself is written, when we may.
            if (!exists || error != ERROR_ACCESS_DENIED) {
                return ErrorOf(error);
            }
            inPlace = true;
        } else {
            inPlace = exists && OwnersDiffer(file.handle.Get(), temporary.file.Get());
        }
    }
    file.handle.Close();
    if (inPlace) {
        temporary.Discard();
        return RewriteInPlace(target, present.bytes, next);
    }
    // Written and synced before it takes the name, so that after a crash the name holds the old
    // file or the whole new one.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = file.attributes;
    if (!::SetFileInformationByHandle(temporary.file.Get(), FileBasicInfo, &basic, sizeof basic) ||
        !WriteFromStart(temporary.file.Get(), next.bytes) || !temporary.file.Close()) {
        return ErrorOf(::GetLastError());
    }
    if (!exists) {
        if (!::MoveFileExW(temporary.name.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            return ErrorOf(::GetLastError());
        }
        temporary.Keep();
        return FileError::None;
    }
    // The file keeps its ACL, attributes, alternate streams and creation time; no merge error
    // is ignored, since the file would then lose them.
    if (::ReplaceFileW(target.c_str(), temporary.name.c_str(), nullptr, 0, nullptr, nullptr)) {
        temporary.Keep();
        return FileError::None;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        // The old file is gone already, and the new one is whole: it takes the name, or stays
        // where it is as the only copy of the rates.
        temporary.Keep();
        return ::MoveFileExW(temporary.name.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)
                   ? FileError::None
                   : ErrorOf(::GetLastError());
    }
    // What the file carries could not be put on the replacement (no right to set its ACL).
    if (error != ERROR_ACCESS_DENIED) {
        return ErrorOf(error);
    }
    temporary.Discard();
    return RewriteInPlace(target, present.bytes, next);
}

void RemoveLeftovers(const std::wstring& target) {
    const std::wstring folder = target.substr(0, NameStart(target));
    const std::optional<std::string> fileName =
        WideToUtf8(std::wstring_view(target).substr(folder.size()));
    const std::wstring pattern = target + Wide(TEMPORARY_INFIX) + L"*";
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        fileName ? ::FindFirstFileW(pattern.c_str(), &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::optional<std::string> name = WideToUtf8(found.cFileName);
        if (name && IsTemporaryName(*name, *fileName) &&
            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ::DeleteFileW((folder + found.cFileName).c_str());  // fails for one held open
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

}  // namespace trellan::win32
