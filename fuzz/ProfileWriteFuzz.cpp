// A write to settings.ini over any text: after writing K=V, K reads as V, every other key reads as before, the
// bytes outside the changed line stay as they were, and no temporary file is left beside it.

#include "FuzzFolder.h"
#include "platform/linux/IniProfileFile.h"
#include "platform/common/IniText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

using namespace nimbrel;

namespace {

std::string bytesIn(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A name or value the file can hold on one line: no line breaks or NUL, no blanks around it.
std::string oneLine(std::string text)
{
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    return std::string(ini::lookupName(text));
}

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether two names could be the same to the lookup; letters beyond ASCII count as any letter.
bool maybeSame(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (static_cast<unsigned char>(a[i]) >= 0x80 || static_cast<unsigned char>(b[i]) >= 0x80) continue;
        if (folded(a[i]) != folded(b[i])) return false;
    }
    return true;
}

// The sections and keys a text names, at most 64 of them: a rough reading, only to know what to look up.
std::vector<std::pair<std::string, std::string>> namesIn(std::string_view text)
{
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    std::size_t at = 0;
    while (at < text.size() && names.size() < 64) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string_view line = ini::lookupName(text.substr(at, end - at));
        at = end + 1;
        if (line.starts_with("[")) {
            section = std::string(line.substr(1, line.rfind(']') - 1));
        } else if (!line.empty()) {
            names.emplace_back(section, std::string(line.substr(0, line.find('='))));
        }
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzFolder folder;
    FuzzedDataProvider input(data, size);
    const std::string section = oneLine(input.ConsumeRandomLengthString(32));
    const std::string key = oneLine(input.ConsumeRandomLengthString(32));
    // A value a read gives back as it is: at most 254 characters, no blanks around it, not in quotes.
    std::string value = oneLine(input.ConsumeRandomLengthString(300));
    for (value = oneLine(value.substr(0, 254)); !value.empty() && (value.front() == '"' || value.front() == '\'');
         value = oneLine(value.substr(1))) {
    }
    if (key.empty() || key.find('=') != std::string::npos || key.front() == '[') return -1;
    const std::string before = input.ConsumeRemainingBytesAsString();
    const std::string settings = folder.write("settings.ini", before);

    IniProfileFile profile;
    const auto others = namesIn(before);
    std::vector<std::string> readBefore;
    for (const auto& [s, k] : others) readBefore.push_back(profile.readString(settings, s, k, "\x01"));

    if (!profile.writeString(settings, section, key, value)) std::abort();

    if (profile.readString(settings, section, key, "\x01") != value) std::abort();
    for (std::size_t i = 0; i < others.size(); ++i) {
        const auto& [s, k] = others[i];
        if (maybeSame(s, section) && maybeSame(k, key)) continue;
        if (profile.readString(settings, s, k, "\x01") != readBefore[i]) std::abort();
    }

    // The old text, but for the line of the key, is found at the start and the end of the new one.
    const std::string written = bytesIn(settings);
    std::string_view after = written;
    if (ini::byteOrderMarkLength(before) == 0 && ini::byteOrderMarkLength(after) != 0) after.remove_prefix(3);
    const ini::KeyPosition position = ini::findKey(before, section, key);
    const std::size_t replaced = position.keyFound ? position.keyLineEnd - position.keyLineBegin : 0;
    const auto [prefixEnd, unusedAfter] = std::mismatch(before.begin(), before.end(), after.begin(), after.end());
    const std::size_t prefix = static_cast<std::size_t>(prefixEnd - before.begin());
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    if (prefix + suffix + replaced < before.size()) std::abort();

    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        if (entry.path().filename() != "settings.ini") std::abort();
    }
    return 0;
}
