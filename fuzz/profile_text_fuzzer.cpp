// The settings-file reader and writer on arbitrary file bytes, and the file's encoding, which
// gives back the very bytes it was given.
//
// Input: section, key and value as libFuzzer's escaped strings ("SET\ COMMISION\ 2.50\ "), the
// rest of the bytes as the file text; the last byte picks the size of the copy buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/profile_encoding.h"
#include "settings/profile_text.h"

#include "fuzz_check.h"
#include "fuzz_input.h"

namespace trellan {
namespace {

using fuzzing::Require;

constexpr std::size_t MAX_CHECKED_KEYS = 64;  // keeps each run linear enough to stay fast
constexpr char UNTOUCHED = '\x5A';

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsOneTrimmedLine(std::string_view text) {
    return text.find_first_of("\r\n") == std::string_view::npos &&
           (text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back())));
}

// What a writer can store so that it reads back as written: one line without blanks around it;
// a section name without ']'; a key without '=' that cannot pass for a section line; a value
// not wrapped in quotes.
bool IsStorable(std::string_view section, std::string_view key, std::string_view value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return IsOneTrimmedLine(section) && IsOneTrimmedLine(key) && IsOneTrimmedLine(value) &&
           section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos &&
           !key.starts_with('[') && !quoted;
}

bool Contains(std::string_view outer, std::string_view inner) {
    return inner.data() >= outer.data() &&
           inner.data() + inner.size() <= outer.data() + outer.size();
}

void CheckFind(std::string_view file, std::string_view section, std::string_view key) {
    const std::optional<std::string_view> value = FindProfileValue(file, section, key);
    if (value) {
        Require(value->empty() || Contains(file, *value), "a found value lies inside the file");
        Require(value->find_first_of("\r\n") == std::string_view::npos,
                "a found value is a single line");
    }
}

void CheckCopy(std::string_view file, std::string_view section, std::string_view key,
               std::string_view defaultValue, std::size_t capacity) {
    // Exactly the capacity on the heap, so that AddressSanitizer sees a single byte too many.
    const std::unique_ptr<char[]> buffer(new char[capacity]);
    std::fill_n(buffer.get(), capacity, UNTOUCHED);
    const std::size_t copied =
        CopyProfileString(file, section, key, defaultValue, {buffer.get(), capacity});
    if (capacity == 0) {
        Require(copied == 0, "nothing is copied into an empty buffer");
        return;
    }
    const std::string_view expected = FindProfileValue(file, section, key).value_or(defaultValue);
    Require(copied == std::min(expected.size(), capacity - 1), "the copy is cut only to fit");
    Require(std::memcmp(buffer.get(), expected.data(), copied) == 0, "the copy is the value");
    Require(buffer[copied] == '\0', "the copy is terminated");
    Require(std::all_of(buffer.get() + copied + 1, buffer.get() + capacity,
                        [](char c) { return c == UNTOUCHED; }),
            "nothing is written after the terminating zero");
}

// Every (section, key) of the file, as a reader would name them; the first few only.
std::vector<std::pair<std::string, std::string>> NamesIn(std::string_view file) {
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    bool inSection = false;
    for (std::size_t at = 0; at < file.size() && names.size() < MAX_CHECKED_KEYS;) {
        // CR LF, LF and a bare CR each end a line; an empty line between CR and LF is no loss.
        const std::size_t end = std::min(file.find_first_of("\r\n", at), file.size());
        std::string_view line = file.substr(at, end - at);
        at = end + 1;
        while (!line.empty() && IsBlank(line.front())) {
            line.remove_prefix(1);
        }
        while (!line.empty() && IsBlank(line.back())) {
            line.remove_suffix(1);
        }
        if (line.starts_with('[')) {
            // The name ends at the first ']', or with the line.
            section.assign(line.substr(1, line.find(']') == std::string_view::npos
                                              ? std::string_view::npos
                                              : line.find(']') - 1));
            while (!section.empty() && IsBlank(section.front())) {
                section.erase(0, 1);
            }
            while (!section.empty() && IsBlank(section.back())) {
                section.pop_back();
            }
            inSection = true;
        } else if (const std::size_t equals = line.find('=');
                   inSection && equals != std::string_view::npos) {
            std::string_view key = line.substr(0, equals);
            while (!key.empty() && IsBlank(key.back())) {
                key.remove_suffix(1);
            }
            names.emplace_back(section, key);
        }
    }
    return names;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

// Where the new text differs from the old one: the stretch of the old text that was replaced
// (empty for an insertion), between the longest common prefix and suffix.
std::string_view ReplacedStretch(std::string_view before, std::string_view after) {
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    return before.substr(prefix, before.size() - prefix - suffix);
}

void CheckSet(std::string_view file, std::string_view section, std::string_view key,
              std::string_view value) {
    const std::string after = SetProfileValue(file, section, ProfileEntry{key, value});
    Require(FindProfileValue(after, section, key) == value, "a value set reads back");
    // An existing value is replaced within its line; a missing key or section is inserted
    // without changing a byte of what was there.
    const std::string_view replaced = ReplacedStretch(file, after);
    Require(replaced.find_first_of("\r\n") == std::string_view::npos,
            "setting a value changes a single line at most");
    if (!FindProfileValue(file, section, key)) {
        Require(replaced.empty(), "a new key is inserted, nothing else changes");
    }
    for (const auto& [otherSection, otherKey] : NamesIn(file)) {
        if (EqualsIgnoringCase(otherSection, section) && EqualsIgnoringCase(otherKey, key)) {
            continue;
        }
        Require(FindProfileValue(file, otherSection, otherKey) ==
                    FindProfileValue(after, otherSection, otherKey),
                "every other key keeps its value");
    }
    // Setting the same value again changes nothing.
    Require(SetProfileValue(after, section, ProfileEntry{key, value}) == after,
            "setting a value twice is setting it once");
}

}  // namespace
}  // namespace trellan

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::FuzzInput input(data, size);
    const auto capacity = input.ConsumeIntegralInRange<std::size_t>(0, 160);
    const std::string section = input.ConsumeRandomLengthString(40);
    const std::string key = input.ConsumeRandomLengthString(40);
    const std::string value = input.ConsumeRandomLengthString(120);
    const std::string file = input.ConsumeRemainingBytesAsString();

    const trellan::ProfileFileText decoded = trellan::DecodeProfileFile(file);
    trellan::fuzzing::Require(trellan::EncodeProfileFile(decoded) == file,
                              "a file decodes and encodes back to its very bytes");
    trellan::CheckFind(file, section, key);
    trellan::CheckCopy(file, section, key, value, capacity);
    if (trellan::IsStorable(section, key, value)) {
        trellan::CheckSet(file, section, key, value);
    }
    return 0;
}
