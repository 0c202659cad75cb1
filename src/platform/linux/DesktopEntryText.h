#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text of a desktop entry (the freedesktop.org Desktop Entry format): the keys of its main group, string
// escapes, and the quoting of its Exec line.
namespace nimbrel::desktopentry {

// The keys of the [Desktop Entry] group with their values as written (blanks before them removed; the last
// of a key given twice wins); nothing when the text is not a key file.
std::optional<std::map<std::string, std::string>> mainGroup(std::string_view contents);

// A string value as written in the file: backslash, line breaks, tabs and a leading blank escaped. The Exec value gets these
// escapes on top of its quoting, so a backslash inside a quoted argument is written "\\\\".
std::string escapeString(std::string_view value);

// A string value with its escapes (\s \n \t \r \\) applied. An unknown escape is kept as written.
std::string unescapeString(std::string_view value);

// The Exec value, as written in the file, that starts the executable alone.
std::string execValue(std::string_view executable);

// The command line of an Exec value as written in the file: the program and its arguments, with the
// string escapes, the quoting and the field codes (%f, %U, ...) taken away and "%%" read as "%". Nothing
// when the value is malformed or names no program.
std::optional<std::vector<std::string>> commandLine(std::string_view value);

bool isValidUtf8(std::string_view text);

} // namespace nimbrel::desktopentry
