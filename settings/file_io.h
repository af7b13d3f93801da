#pragma once

#include <string>
#include <string_view>

namespace trellan {

enum class ReadStatus { Ok, Missing, Failed };

struct FileContents {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
};

// Larger files are not settings files; refusing them keeps a stray path from stalling the window.
inline constexpr std::size_t MAX_SETTINGS_FILE_SIZE = 1 << 20;

// Reads a regular file whole. A missing file (or an empty path) is Missing; a directory, a
// device, a file we may not read or one over MAX_SETTINGS_FILE_SIZE is Failed.
FileContents ReadWholeFile(const char* path);

// Replaces the file's content in one step: the new bytes go to a temporary file in the same
// directory, which is then renamed over the old one, keeping its permissions and, where we may
// give it, its owner. Where no file can be made in the directory but the file itself may be
// written, it is rewritten in place. On failure the old file is left exactly as it was and false
// is returned.
bool ReplaceFileAtomically(const char* path, std::string_view bytes);

}  // namespace trellan
