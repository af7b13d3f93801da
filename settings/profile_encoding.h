#pragma once

#include <string>
#include <string_view>

// The byte forms in which Windows keeps an initialization file: 8-bit text, or UTF-16 that
// starts with its byte-order mark (as Notepad saves "Unicode"), which the platform's profile
// calls read and write back in UTF-16. UTF-8 after its mark (Notepad's "UTF-8 with BOM") is
// 8-bit text to those calls too; the mark is set aside, so that a header on the first line is
// found, and put back on saving. The lines are worked on as 8-bit text, UTF-8 for a UTF-16
// file, and stored back in the form they came in, so that nothing is ever added in another
// encoding.
namespace trellan {

enum class ProfileEncoding { Bytes, Utf8WithMark, Utf16Le, Utf16Be };

struct ProfileFileText {
    ProfileEncoding encoding = ProfileEncoding::Bytes;
    std::string text;     // the bytes themselves, or the UTF-16 after its mark as UTF-8
    std::string oddByte;  // the last byte of a UTF-16 file of odd length, kept as it was
};

// The encoding its first bytes (a byte-order mark, or none) give the file.
ProfileEncoding EncodingOf(std::string_view bytes);

// Every file decodes, and encodes back to the very same bytes: a code unit that is half of a
// surrogate pair on its own is carried through as a three-byte sequence of its own value.
ProfileFileText DecodeProfileFile(std::string_view bytes);
std::string EncodeProfileFile(const ProfileFileText& file);

// A line end in the file's encoding.
std::string_view LineEndIn(ProfileEncoding encoding);

}  // namespace trellan
