#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace trellan {

// Why a settings file could not be read or written, so that the user can be told the cause.
enum class FileError {
    None,
    NoPermission,        // the user may not read or write it
    ReadOnlyFileSystem,  // the disk, card or share is mounted read-only
    DiskFull,            // no room left (or the user's quota is used up)
    PathTooLong,         // the system refuses a path that long
    NotAFile,            // a folder, a pipe or a device stands under the name
    TooLarge,            // larger than a settings file can be, or than the size limit allows
    Busy,                // another copy of the program kept the file locked too long
    Other,               // any other failure of the system
};

enum class ReadStatus { Ok, Missing, Failed };

struct FileContents {
    ReadStatus status = ReadStatus::Missing;
    FileError error = FileError::None;  // why it Failed
    std::string bytes;
};

// Larger files are not settings files; refusing them keeps a stray path from stalling the window.
inline constexpr std::size_t MAX_SETTINGS_FILE_SIZE = 1 << 20;

// Reads a regular file whole. A missing file (or an empty path) is Missing; a directory, a
// device, a file we may not read or one over MAX_SETTINGS_FILE_SIZE is Failed.
FileContents ReadWholeFile(const char* path);

// A save's temporary file is named "<file>.trellan-save-" and six characters from
// TEMPORARY_CHARACTERS: a name no user would choose, and the only names a save ever removes (a
// leftover of a save that was killed, when no living save holds it).
inline constexpr std::string_view TEMPORARY_INFIX = ".trellan-save-";
inline constexpr std::string_view TEMPORARY_CHARACTERS =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr std::size_t TEMPORARY_RANDOM_LENGTH = 6;

// Whether name (without its folder) is one of our temporaries of the file named fileName.
bool IsTemporaryName(std::string_view name, std::string_view fileName);

// What a save stores: the new bytes, and a line end in the file's own encoding, with which a
// shorter text is padded to the old length when the file is rewritten where it stands.
struct FileEdit {
    std::string bytes;
    std::string lineEnd = "\n";
};

// Makes the new content from the file's present bytes (empty when there is no file); nullopt
// when it cannot be stored (larger than loading accepts).
using FileEditor = std::function<std::optional<FileEdit>(std::string_view present)>;

struct SaveOutcome {
    FileError error = FileError::None;
    std::string bytes;  // what the file holds after a save that succeeded

    bool Saved() const { return error == FileError::None; }
    static SaveOutcome Failure(FileError cause) { return {cause, {}}; }
};

// One save at a time, across every copy of the program: under a lock held from reading the file
// to its replacement, the file is read again and edit makes its new content from what it holds
// then, so that what another copy saved meanwhile is kept. A file that exists but cannot be read
// is never replaced (its other lines would be lost).
//
// The new bytes replace the file in one step: written and synced in a temporary beside it, then
// renamed over it, keeping its permissions, owner, group and extended attributes (ACLs among
// them). Where a replacement could not keep them, where the file has other hard links, or where
// no file can be made in its folder, the file is rewritten where it stands, so that at any moment
// it holds the old or the new text whole. A symbolic link is written through, a dangling one
// too when its target's folder exists. On failure the file is left as it was.
SaveOutcome EditFileLocked(const char* path, const FileEditor& edit);

}  // namespace trellan
