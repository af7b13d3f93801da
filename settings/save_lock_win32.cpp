#include <cstdint>
#include <string>

#include "settings/file_io.h"
#include "settings/windows_api.h"
#include "settings/windows_file.h"

namespace trellan::win32 {
namespace {

// Longer than any save takes, even on a slow share; shorter than a user waits for OK.
constexpr DWORD LOCK_WAIT_MS = 10'000;

std::wstring Hex(std::uint64_t value, int digits) {
    std::wstring text;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        text += L"0123456789abcdef"[(value >> shift) & 0xFU];
    }
    return text;
}

// The folder itself, identified by its volume and its file index, names the same folder
// however it is reached (a short name, another drive letter or share name, a junction); its
// path, when it cannot be opened.
std::wstring FolderKey(const std::wstring& fullPath) {
    std::wstring folder = fullPath.substr(0, NameStart(fullPath));
    if (folder.size() > 1 && folder.back() == L'\\' && folder[folder.size() - 2] != L':') {
        folder.pop_back();  // "C:\" stays the root, "C:" would be a drive's current folder
    }
    const FileHandle handle(::CreateFileW(folder.c_str(), 0, SHARE_ALL, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.IsOpen() || !::GetFileInformationByHandle(handle.Get(), &info)) {
        return folder;
    }
    return Hex(info.dwVolumeSerialNumber, 8) + L":" + Hex(info.nFileIndexHigh, 8) +
           Hex(info.nFileIndexLow, 8);
}

// The mutex's name: the folder and the file's name, in capitals as the file system compares
// them, hashed (FNV-1a) to a name of fixed length, in the session's namespace.
std::wstring LockName(const std::wstring& fullPath) {
    const std::wstring key = FolderKey(fullPath) + L"\\" + fullPath.substr(NameStart(fullPath));
    std::wstring capitals = key;
    if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, key.c_str(),
                        static_cast<int>(key.size()), capitals.data(),
                        static_cast<int>(capitals.size()), nullptr, nullptr, 0) == 0) {
        capitals = key;
    }
    std::uint64_t hash = 14695981039346656037ULL;
    for (const wchar_t unit : capitals) {
        hash = (hash ^ static_cast<std::uint16_t>(unit)) * 1099511628211ULL;
    }
    return L"Local\\trellan-save-" + Hex(hash, 16);
}

}  // namespace

SaveLock::SaveLock(const std::wstring& fullPath)
    : m_mutex(::CreateMutexW(nullptr, FALSE, LockName(fullPath).c_str())) {
    if (m_mutex == nullptr) {
        // Another user's copy in this session made it, and it is not ours to open.
        m_error =
            ::GetLastError() == ERROR_ACCESS_DENIED ? FileError::Busy : ErrorOf(::GetLastError());
        return;
    }
    // WAIT_ABANDONED: the holder died in the middle of a save, and the lock is ours now.
    const DWORD waited = ::WaitForSingleObject(m_mutex, LOCK_WAIT_MS);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        m_error = waited == WAIT_TIMEOUT ? FileError::Busy : FileError::Other;
    }
}

SaveLock::~SaveLock() {
    if (m_mutex == nullptr) {
        return;
    }
    if (m_error == FileError::None) {
        ::ReleaseMutex(m_mutex);
    }
    ::CloseHandle(m_mutex);
}

}  // namespace trellan::win32
