#include "ProgramEntry.h"

#include "core/base/RuntimeError.h"
#include "core/base/Text.h"

#include <algorithm>

namespace nimbrel {

std::string makeEntry(const std::string& name, const std::string& path)
{
    return name + std::string(52, ' ') + "|" + path;
}

std::string nameForFile(const std::string& path, const std::string& executableSuffix)
{
    // Where the system's programs carry an ending (Windows), a backslash ends a folder as a slash does;
    // elsewhere it is a character of the file's name.
    const auto slash = path.find_last_of(executableSuffix.empty() ? "/" : "/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!executableSuffix.empty()) {
        for (auto at = findIgnoringCase(name, executableSuffix); at != std::string::npos;
             at = findIgnoringCase(name, executableSuffix, at)) {
            name.erase(at, executableSuffix.size());
        }
    }
    // A "|" of the name's own would end the name part there.
    std::replace(name.begin(), name.end(), '|', ' ');
    return name;
}

std::string programName(const std::string& line)
{
    const auto bar = line.find('|');
    if (bar == std::string::npos) throw RuntimeError(5, "Invalid procedure call or argument");
    const std::string name = line.substr(0, bar);
    const auto first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

std::string listedName(const std::string& line) { return programPath(line) ? programName(line) : line; }

std::optional<std::string> programPath(const std::string& line)
{
    const auto bar = line.find('|');
    if (bar == std::string::npos) return std::nullopt;
    return line.substr(bar + 1);
}

bool entryNamesPath(const std::string& line, const std::string& path, bool namesIgnoreCase)
{
    const std::string listed = programPath(line).value_or(line);
    return namesIgnoreCase ? equalIgnoringCase(listed, path) : listed == path;
}

std::vector<std::string> splitLines(const std::string& bytes, std::size_t maxLines)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size() && lines.size() < maxLines) {
        const auto end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

ListLines listLines(const std::string& bytes)
{
    if (bytes.size() <= maxListBytes) {
        ListLines list{splitLines(bytes, maxListEntries + 1)};
        list.leftOut = list.lines.size() > maxListEntries;
        if (list.leftOut) list.lines.pop_back();
        return list;
    }
    // The line the limit falls in is left out whole: the start of a path is not the program's path.
    const std::size_t lastEnd = bytes.find_last_of("\r\n", maxListBytes - 1);
    ListLines list{splitLines(lastEnd == std::string::npos ? std::string() : bytes.substr(0, lastEnd + 1),
                              maxListEntries)};
    list.leftOut = true;
    return list;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines) bytes.append(line).append("\r\n");
    return bytes;
}

} // namespace nimbrel
