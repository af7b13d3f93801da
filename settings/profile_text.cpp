#include "settings/profile_text.h"

#include <algorithm>

namespace trellan {
namespace {

#ifdef _WIN32
constexpr std::string_view NEW_FILE_LINE_END = "\r\n";
#else
constexpr std::string_view NEW_FILE_LINE_END = "\n";
#endif

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// One line of the file: where it starts, where its text ends (before CR LF, LF or a bare CR,
// each of which ends a line for the platform's profile code) and where the next line starts.
struct Line {
    std::size_t begin = 0;
    std::size_t textEnd = 0;
    std::size_t next = 0;
};

Line LineAt(std::string_view text, std::size_t begin) {
    const std::size_t end = std::min(text.find_first_of("\r\n", begin), text.size());
    Line line{begin, end, end};
    if (end < text.size()) {
        line.next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    }
    return line;
}

std::string_view TextOf(std::string_view text, const Line& line) {
    return text.substr(line.begin, line.textEnd - line.begin);
}

// The name of a section line, or nothing for any other line. As Windows reads it, the name ends
// at the first ']' ("[SET] [OTHER]" is SET), and a line without one is named by the rest of the
// line ("[SET" is SET).
std::optional<std::string_view> SectionName(std::string_view lineText) {
    const std::string_view trimmed = Trim(lineText);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    const std::string_view rest = trimmed.substr(1);
    return Trim(rest.substr(0, rest.find(']')));
}

// Where a "name=value" line's name and value stand, as offsets into the line's text.
struct KeyLine {
    std::string_view name;
    std::size_t valueBegin = 0;  // after the blanks that follow '='
    std::size_t valueEnd = 0;    // before the blanks at the end of the line
};

std::optional<KeyLine> ParseKeyLine(std::string_view lineText) {
    const std::size_t equals = lineText.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    KeyLine key{Trim(lineText.substr(0, equals)), equals + 1, lineText.size()};
    while (key.valueBegin < key.valueEnd && IsBlank(lineText[key.valueBegin])) {
        ++key.valueBegin;
    }
    while (key.valueEnd > key.valueBegin && IsBlank(lineText[key.valueEnd - 1])) {
        --key.valueEnd;
    }
    return key;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Where a section's lines stand in the file.
struct SectionSpan {
    Line header;
    std::size_t end = 0;         // start of the next section's header, or the end of the file
    std::size_t contentEnd = 0;  // just after the last line of the section that is not blank
};

std::optional<SectionSpan> FindSection(std::string_view text, std::string_view section) {
    std::optional<SectionSpan> found;
    for (std::size_t at = 0; at < text.size();) {
        const Line line = LineAt(text, at);
        const std::optional<std::string_view> name = SectionName(TextOf(text, line));
        if (found && name) {
            found->end = line.begin;
            return found;
        }
        if (!found && name && EqualsIgnoringCase(*name, section)) {
            found = SectionSpan{line, text.size(), line.next};
        } else if (found && !Trim(TextOf(text, line)).empty()) {
            found->contentEnd = line.next;
        }
        at = line.next;
    }
    return found;
}

struct KeyInSection {
    Line line;
    KeyLine key;
};

std::optional<KeyInSection> FindKey(std::string_view text, const SectionSpan& section,
                                    std::string_view key) {
    for (std::size_t at = section.header.next; at < section.end;) {
        const Line line = LineAt(text, at);
        const std::optional<KeyLine> parsed = ParseKeyLine(TextOf(text, line));
        if (parsed && EqualsIgnoringCase(parsed->name, key)) {
            return KeyInSection{line, *parsed};
        }
        at = line.next;
    }
    return std::nullopt;
}

// The line end the file already uses, judged by its first: CR LF, LF or a bare CR.
std::string_view LineEndOf(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        return NEW_FILE_LINE_END;
    }
    if (text[end] == '\n') {
        return "\n";
    }
    return text.compare(end, 2, "\r\n") == 0 ? "\r\n" : "\r";
}

// What must follow text before a new line can start: nothing after a line end (or at the start
// of the file); in a file whose lines do not end in a bare CR, the LF of a CR left bare at its
// end (a line end cut short); a whole line end otherwise.
std::string_view LineEndToFinish(std::string_view text, std::string_view lineEnd) {
    if (text.empty() || text.back() == '\n') {
        return {};
    }
    if (text.back() == '\r') {
        return lineEnd == "\r" ? "" : "\n";
    }
    return lineEnd;
}

std::string KeyValueLine(const ProfileEntry& entry, std::string_view lineEnd) {
    std::string line;
    line.reserve(entry.key.size() + entry.value.size() + 1 + lineEnd.size());
    line.append(entry.key).append("=").append(entry.value).append(lineEnd);
    return line;
}

}  // namespace

std::optional<std::string_view> FindProfileValue(std::string_view fileText,
                                                 std::string_view section, std::string_view key) {
    const std::optional<SectionSpan> span = FindSection(fileText, section);
    if (!span) {
        return std::nullopt;
    }
    const std::optional<KeyInSection> found = FindKey(fileText, *span, key);
    if (!found) {
        return std::nullopt;
    }
    const std::string_view lineText = TextOf(fileText, found->line);
    return Unquote(
        lineText.substr(found->key.valueBegin, found->key.valueEnd - found->key.valueBegin));
}

bool HasProfileSection(std::string_view fileText, std::string_view section) {
    return FindSection(fileText, section).has_value();
}

std::string SetProfileValue(std::string_view fileText, std::string_view section,
                            const ProfileEntry& entry) {
    const std::string_view lineEnd = LineEndOf(fileText);
    std::string result(fileText);
    const std::optional<SectionSpan> span = FindSection(fileText, section);
    if (!span) {
        result.append(LineEndToFinish(fileText, lineEnd));
        if (!fileText.empty()) {
            result.append(lineEnd);  // a blank line between sections, as Windows writes them
        }
        result.append("[").append(section).append("]").append(lineEnd);
        return result.append(KeyValueLine(entry, lineEnd));
    }
    if (const std::optional<KeyInSection> found = FindKey(fileText, *span, entry.key)) {
        const std::size_t begin = found->line.begin + found->key.valueBegin;
        const std::size_t end = found->line.begin + found->key.valueEnd;
        return result.replace(begin, end - begin, entry.value);
    }
    const std::size_t at = span->contentEnd;
    std::string insertion(LineEndToFinish(fileText.substr(0, at), lineEnd));
    insertion.append(KeyValueLine(entry, lineEnd));
    return result.insert(at, insertion);
}

std::size_t CopyProfileString(std::string_view fileText, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::span<char> buffer) {
    if (buffer.empty()) {
        return 0;
    }
    const std::string_view value = FindProfileValue(fileText, section, key).value_or(defaultValue);
    const std::size_t length = std::min(value.size(), buffer.size() - 1);
    std::copy_n(value.begin(), length, buffer.begin());
    buffer[length] = '\0';
    return length;
}

}  // namespace trellan
