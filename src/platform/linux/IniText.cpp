#include "IniText.h"

#include <array>

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

KeyPosition findKey(std::string_view text, std::string_view section, std::string_view key)
{
    const std::string_view wantedSection = lookupName(section);
    const std::string_view wantedKey = lookupName(key);

    KeyPosition found;
    std::size_t at = byteOrderMarkLength(text);
    // The lines before the first header are a section without a name, and an empty name finds them.
    bool inSection = wantedSection.empty();
    if (inSection) {
        found.sectionFound = true;
        found.newKeyAt = at;
    }

    while (at < text.size()) {
        const Line line = lineAt(text, at);
        at = line.end;
        const std::string_view content = trimmed(text.substr(line.begin, line.contentEnd - line.begin));
        if (content.empty()) continue;

        if (const auto name = headerName(content)) {
            if (inSection) break; // the first section of that name is over; later ones do not count
            if (sameName(*name, wantedSection)) {
                inSection = true;
                found.sectionFound = true;
                found.newKeyAt = line.end;
                found.newKeyNeedsLineEnd = line.end == line.contentEnd;
            }
            continue;
        }
        if (!inSection) continue;

        // Comments and lines without "=" are keys to the functions too, so a new key goes after them.
        found.newKeyAt = line.end;
        found.newKeyNeedsLineEnd = line.end == line.contentEnd;
        const Entry entry = entryOf(content);
        if (sameName(entry.name, wantedKey)) {
            found.keyFound = true;
            found.keyLineBegin = line.begin;
            found.keyLineEnd = line.end;
            found.storedName = entry.name;
            found.storedValue = entry.value;
            break;
        }
    }
    return found;
}

} // namespace nimbrel::ini
