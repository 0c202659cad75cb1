#include "IniText.h"

#include <array>
#include <utility>

namespace nimbrel::ini {

namespace {

struct Line {
    std::size_t begin;
    std::size_t contentEnd; // where its line end starts
    std::size_t end;        // after its line end
};

Line lineAt(std::string_view text, std::size_t begin)
{
    std::size_t contentEnd = begin;
    while (contentEnd < text.size() && text[contentEnd] != '\r' && text[contentEnd] != '\n') ++contentEnd;
    if (contentEnd == text.size()) return {begin, contentEnd, contentEnd};
    std::size_t end = contentEnd + 1;
    if (text[contentEnd] == '\r' && end < text.size() && text[end] == '\n') ++end;
    return {begin, contentEnd, end};
}

std::string_view trimmedLeft(std::string_view s)
{
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view trimmedRight(std::string_view s)
{
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trimmed(std::string_view s) { return trimmedRight(trimmedLeft(s)); }

// The functions widen Windows-1252 text and compare the wide letters without regard to case, so the accented
// capitals and Š Œ Ž Ÿ match their small letters as well.
constexpr std::array<unsigned char, 256> lowerCaseTable()
{
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) table[c] = static_cast<unsigned char>(c + 32); // 0xD7 is the multiplication sign
    }
    table[0x8A] = 0x9A;
    table[0x8C] = 0x9C;
    table[0x8E] = 0x9E;
    table[0x9F] = 0xFF;
    return table;
}

constexpr std::array<unsigned char, 256> lowerCase = lowerCaseTable();

bool sameName(std::string_view stored, std::string_view wanted)
{
    if (stored.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (lowerCase[static_cast<unsigned char>(stored[i])] != lowerCase[static_cast<unsigned char>(wanted[i])]) {
            return false;
        }
    }
    return true;
}

// The name of a section header; nothing when the line is not one. The line has its blanks removed already.
std::optional<std::string_view> headerName(std::string_view line)
{
    if (line.empty() || line.front() != '[') return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return uptoNul(trimmed(line.substr(1, close - 1)));
}

struct Entry {
    std::string_view name;
    std::optional<std::string_view> value;
};

Entry entryOf(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {uptoNul(line), std::nullopt};
    // The blanks go first and the NUL cuts afterwards, so "a \0b" keeps its blank.
    return {uptoNul(trimmedRight(line.substr(0, equals))), uptoNul(trimmedLeft(line.substr(equals + 1)))};
}

// The caller's buffer holds 255 characters: 254 of a value and the NUL.
constexpr std::size_t kBufferSize = 255;
constexpr std::size_t kLongestValue = kBufferSize - 1;

// The default loses its trailing spaces (not tabs), all but a first one.
std::string_view withoutTrailingSpaces(std::string_view text)
{
    while (text.size() > 1 && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A value as the functions copy it into the caller's buffer: one pair of matching quotes around it goes, and
// the copy holds at most 254 characters. The closing quote is removed as the last character of the copy, so a
// quoted value that only just does not fit loses a character of its own instead.
std::string copiedValue(std::string_view value)
{
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string copy(value.substr(0, kLongestValue));
    if (quoted && kBufferSize >= value.size()) copy.pop_back();
    return copy;
}

} // namespace

bool isBlank(char c)
{
    return (c >= '\t' && c <= '\r') || c == '\x1a' || c == ' ';
}

std::string_view uptoNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

std::string_view lookupName(std::string_view name)
{
    return trimmed(uptoNul(name));
}

std::size_t byteOrderMarkLength(std::string_view text)
{
    return text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

bool lacksFinalLineEnd(std::string_view text)
{
    return !text.empty() && text.back() != '\n' && text.back() != '\r';
}

std::optional<SectionStart> walkSection(std::string_view text, std::string_view section,
                                        const std::function<bool(const KeyLine&)>& visit)
{
    std::size_t at = byteOrderMarkLength(text);
    // The lines before the first header are a section without a name, and an empty name finds them.
    std::optional<SectionStart> start;
    if (section.empty()) start = SectionStart{at, true};

    while (at < text.size()) {
        const Line line = lineAt(text, at);
        at = line.end;
        const std::string_view content = trimmed(text.substr(line.begin, line.contentEnd - line.begin));
        if (content.empty()) continue;

        if (const auto name = headerName(content)) {
            if (start) break; // the first section of that name is over; later ones do not count
            if (sameName(*name, section)) start = SectionStart{line.end, line.end != line.contentEnd};
            continue;
        }
        if (!start) continue;

        const Entry entry = entryOf(content);
        if (!visit(KeyLine{line.begin, line.end, line.end != line.contentEnd, entry.name, entry.value})) break;
    }
    return start;
}

KeyPosition findKey(std::string_view text, std::string_view section, std::string_view key)
{
    const std::string_view wantedKey = lookupName(key);
    KeyPosition found;
    bool afterKeyLine = false;
    const auto start = walkSection(text, lookupName(section), [&](const KeyLine& line) {
        // Comments and lines without "=" are keys to the functions too, so a new key goes after them.
        afterKeyLine = true;
        found.newKeyAt = line.end;
        found.newKeyNeedsLineEnd = !line.hasLineEnd;
        if (!sameName(line.name, wantedKey)) return true;
        found.keyFound = true;
        found.keyLineBegin = line.begin;
        found.keyLineEnd = line.end;
        found.storedName = line.name;
        found.storedValue = line.value;
        return false;
    });
    if (!start) return found;
    found.sectionFound = true;
    if (!afterKeyLine) {
        found.newKeyAt = start->bodyAt;
        found.newKeyNeedsLineEnd = !start->headerHasLineEnd;
    }
    return found;
}

std::string foldedName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(lowerCase[static_cast<unsigned char>(c)]);
    return folded;
}

std::string_view writtenValue(std::string_view value)
{
    value = uptoNul(value);
    while (!value.empty() && isBlank(value.front())) value.remove_prefix(1);
    return value;
}

std::string readResult(std::optional<std::string_view> storedValue, std::string_view defaultValue)
{
    if (storedValue) return copiedValue(*storedValue);
    return copiedValue(withoutTrailingSpaces(uptoNul(defaultValue)));
}

std::string readValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view defaultValue)
{
    const KeyPosition position = findKey(text, section, key);
    return readResult(position.keyFound ? position.storedValue : std::nullopt, defaultValue);
}

std::string unreadableDefault(std::string_view defaultValue)
{
    return std::string(withoutTrailingSpaces(uptoNul(defaultValue)).substr(0, kLongestValue));
}

std::optional<std::string> withValue(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view value)
{
    const std::string_view sectionName = lookupName(section);
    const std::string_view keyName = lookupName(key);
    const std::string_view newValue = writtenValue(value);

    const KeyPosition position = findKey(text, sectionName, keyName);
    std::string updated;
    if (position.keyFound) {
        if (position.storedValue && *position.storedValue == newValue) return std::nullopt;
        // The key keeps the spelling it has in the file.
        updated.append(text, 0, position.keyLineBegin);
        updated.append(position.storedName).append("=").append(newValue).append("\r\n");
        updated.append(text, position.keyLineEnd);
    } else if (position.sectionFound) {
        updated.append(text, 0, position.newKeyAt);
        if (position.newKeyNeedsLineEnd) updated.append("\r\n");
        updated.append(keyName).append("=").append(newValue).append("\r\n");
        updated.append(text, position.newKeyAt);
    } else {
        updated = text;
        if (lacksFinalLineEnd(std::string_view(text).substr(byteOrderMarkLength(text)))) {
            updated.append("\r\n");
        }
        updated.append("[").append(sectionName).append("]\r\n");
        updated.append(keyName).append("=").append(newValue).append("\r\n");
    }
    // The reader passes over a byte order mark at the start of a file, so a first line that begins with those
    // bytes (a key whose name starts with them) gets a mark of its own before it and reads back by its name.
    if (byteOrderMarkLength(text) == 0 && byteOrderMarkLength(updated) != 0) updated.insert(0, "\xEF\xBB\xBF");
    return updated;
}

} // namespace nimbrel::ini
