#include "AutostartEntry.h"

#include "ConfigFiles.h"

#include <string_view>
#include <unistd.h>
#include <utility>

namespace nimbrel {

namespace {

constexpr std::string_view kFileName = "Nimbrel.desktop";
constexpr std::string_view kDesktopEntryGroup = "Desktop Entry";

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07, smallest = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// Tab and line breaks have escapes of their own in a desktop entry; the other
// control characters cannot be written there at all.
bool canStandInEntry(std::string_view executable)
{
    if (executable.empty() || !isValidUtf8(executable)) return false;
    for (const char c : executable) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F) return false;
    }
    return true;
}

// The reserved characters of an Exec argument, plus the carriage return, which
// some launchers split arguments on.
bool needsQuoting(std::string_view argument)
{
    return argument.find_first_of(std::string_view(" \t\n\r\"'\\><~|&;$*?#()`")) != std::string_view::npos;
}

std::string quoteArgument(std::string_view argument)
{
    if (!needsQuoting(argument)) return std::string(argument);
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// A lone % would start a field code.
std::string escapePercent(std::string_view command)
{
    std::string escaped;
    for (const char c : command) {
        escaped += c;
        if (c == '%') escaped += '%';
    }
    return escaped;
}

std::string unescapePercent(std::string_view command)
{
    std::string plain;
    for (std::size_t i = 0; i < command.size(); ++i) {
        plain += command[i];
        if (command[i] == '%' && i + 1 < command.size() && command[i + 1] == '%') ++i;
    }
    return plain;
}

// The escapes of the file's own string values, applied on top of the Exec
// quoting: a backslash inside a quoted argument is therefore written "\\\\".
std::string escapeString(std::string_view value)
{
    std::string escaped;
    for (const char c : value) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// An unknown escape is kept as written: a hand-made entry with a stray
// backslash still names its program.
std::string unescapeString(std::string_view value)
{
    std::string plain;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            plain += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': plain += ' '; break;
        case 'n': plain += '\n'; break;
        case 't': plain += '\t'; break;
        case 'r': plain += '\r'; break;
        case '\\': plain += '\\'; break;
        default: plain += '\\', plain += value[i];
        }
    }
    return plain;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The first argument of a command line. Double quotes follow the desktop entry
// rules; single quotes and a backslash outside quotes are read the way the
// shell-style parsers of the desktops read hand-made entries.
std::optional<std::string> firstArgument(std::string_view command)
{
    std::size_t i = 0;
    while (i < command.size() && isBlank(command[i])) ++i;
    std::string argument;
    while (i < command.size() && !isBlank(command[i])) {
        const char c = command[i++];
        if (c == '"') {
            for (;;) {
                if (i == command.size()) return std::nullopt;
                const char inside = command[i++];
                if (inside == '"') break;
                if (inside == '\\' && i < command.size() &&
                    std::string_view("\"`$\\").find(command[i]) != std::string_view::npos) {
                    argument += command[i++];
                } else {
                    argument += inside;
                }
            }
        } else if (c == '\'') {
            const std::size_t close = command.find('\'', i);
            if (close == std::string_view::npos) return std::nullopt;
            argument.append(command.substr(i, close - i));
            i = close + 1;
        } else if (c == '\\' && i < command.size()) {
            argument += command[i++];
        } else {
            argument += c;
        }
    }
    if (argument.empty()) return std::nullopt;
    return argument;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool isFalse(std::string_view value) { return value == "false" || value == "0"; }
bool isTrue(std::string_view value) { return value == "true" || value == "1"; }

// The raw Exec value of the [Desktop Entry] group; nothing when the file is not
// a key file, has no such group or no Exec key, or the entry is switched off.
std::optional<std::string> execOfEntry(std::string_view contents)
{
    std::optional<std::string> exec;
    bool inGroup = false;
    bool seenGroup = false;
    bool hidden = false;
    bool disabled = false;
    while (!contents.empty()) {
        const std::size_t end = contents.find('\n');
        std::string_view line = contents.substr(0, end);
        contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return std::nullopt;
            seenGroup = true;
            inGroup = line.substr(1, line.size() - 2) == kDesktopEntryGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!seenGroup || equals == std::string_view::npos) return std::nullopt;
        if (!inGroup) continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        std::string_view value = line.substr(equals + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        if (key == "Exec") {
            exec = std::string(value);
        } else if (key == "Hidden") {
            hidden = isTrue(trimmed(value));
        } else if (key == "X-GNOME-Autostart-enabled") {
            disabled = isFalse(trimmed(value));
        }
    }
    if (hidden || disabled) return std::nullopt;
    return exec;
}

// The Exec value, as written in the file, that starts the executable alone.
std::string execValue(std::string_view executable)
{
    return escapeString(escapePercent(quoteArgument(executable)));
}

// The program an Exec value as written in the file starts; nothing when malformed.
std::optional<std::string> programOf(std::string_view execValue)
{
    return firstArgument(unescapePercent(unescapeString(execValue)));
}

} // namespace

std::filesystem::path AutostartEntry::defaultFolder() { return configfiles::configHome() / "autostart"; }

AutostartEntry::AutostartEntry(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path AutostartEntry::file() const { return folder_ / kFileName; }

std::optional<std::string> AutostartEntry::executable() const
{
    const auto contents = configfiles::readRegularFile(file());
    if (!contents) return std::nullopt;
    const auto exec = execOfEntry(*contents);
    if (!exec) return std::nullopt;
    auto program = programOf(*exec);
    if (!program || !isValidUtf8(*program)) return std::nullopt;
    return program;
}

bool AutostartEntry::write(const std::string& executable)
{
    if (!canStandInEntry(executable)) return false;
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Nimbrel\n"
                              "Comment=Frees memory for the programs you run\n"
                              "Exec=" + execValue(executable) + "\n"
                              "Icon=nimbrel\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    // Written at every start: an entry that already says this stays as it is.
    if (configfiles::readRegularFile(file()) == entry) return true;
    return configfiles::makePrivateDirectories(folder_) && configfiles::replaceFile(file(), entry);
}

bool AutostartEntry::remove() { return ::unlink(file().c_str()) == 0; }

} // namespace nimbrel
