#include "DesktopEntryText.h"

namespace nimbrel::desktopentry {

namespace {

constexpr std::string_view kMainGroup = "Desktop Entry";

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

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The arguments of a command line. Double quotes follow the desktop entry
// rules; single quotes and a backslash outside quotes are read the way the
// shell-style parsers of the desktops read hand-made entries.
std::optional<std::vector<std::string>> splitArguments(std::string_view command)
{
    std::vector<std::string> arguments;
    std::size_t i = 0;
    for (;;) {
        while (i < command.size() && isBlank(command[i])) ++i;
        if (i == command.size()) return arguments;
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
        arguments.push_back(std::move(argument));
    }
}

// "%%" is a percent sign; any other field code stands for what a launcher would put there (files, addresses,
// the icon) and is left out, and so is an argument that was nothing but field codes.
std::optional<std::string> withoutFieldCodes(std::string_view argument)
{
    std::string plain;
    bool hadCode = false;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        if (argument[i] != '%' || i + 1 == argument.size()) {
            plain += argument[i];
        } else if (argument[++i] == '%') {
            plain += '%';
        } else {
            hadCode = true;
        }
    }
    if (hadCode && plain.empty()) return std::nullopt;
    return plain;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

} // namespace

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

std::optional<std::map<std::string, std::string>> mainGroup(std::string_view contents)
{
    std::map<std::string, std::string> keys;
    bool inGroup = false;
    bool seenGroup = false;
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
            inGroup = line.substr(1, line.size() - 2) == kMainGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!seenGroup || equals == std::string_view::npos) return std::nullopt;
        if (!inGroup) continue;
        std::string_view value = line.substr(equals + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        keys[std::string(trimmed(line.substr(0, equals)))] = std::string(value);
    }
    return keys;
}

std::string escapeString(std::string_view value)
{
    std::string escaped;
    for (const char c : value) {
        // Blanks before a value are not part of it: a leading one must be written as an escape.
        if (c == ' ' && escaped.empty()) {
            escaped += "\\s";
            continue;
        }
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

std::string execValue(std::string_view executable)
{
    return escapeString(escapePercent(quoteArgument(executable)));
}

std::optional<std::vector<std::string>> commandLine(std::string_view value)
{
    const auto arguments = splitArguments(unescapeString(value));
    if (!arguments) return std::nullopt;
    std::vector<std::string> command;
    for (const std::string& argument : *arguments) {
        if (auto plain = withoutFieldCodes(argument)) command.push_back(std::move(*plain));
    }
    if (command.empty() || command.front().empty()) return std::nullopt;
    return command;
}

} // namespace nimbrel::desktopentry
