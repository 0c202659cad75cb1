#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

// One program of the launcher's list, as the lists and Launcher.mbl hold it: the name part, 52 blanks, "|" and
// the full path of the program file. The blanks push the path out of sight in the lists.

// The entry for a program file known by name.
std::string makeEntry(const std::string& name, const std::string& path);

// The name a program file is listed by: its file name without the folder, with every occurrence of the
// system's executable suffix removed, letter case ignored ("Notepad.EXE" -> "Notepad").
std::string nameForFile(const std::string& path, const std::string& executableSuffix);

// The name part of an entry: the text before its first "|", without blanks around it.
// Invalid procedure call (5) for a line without "|".
std::string programName(const std::string& line);

// What a list shows of an entry: its name part, or the whole line when it has no "|" (a line edited by hand).
std::string listedName(const std::string& line);
// The path part of an entry: everything after its first "|"; nothing for a line without "|".
std::optional<std::string> programPath(const std::string& line);

// True when the entry names the program at path: its path part (the whole line when it has no "|") is path,
// letter case ignored only where the system's file names ignore it. Another path that merely contains this one
// ("/usr/bin/vim" for "/usr/bin/vi") is another program.
bool entryNamesPath(const std::string& line, const std::string& path, bool namesIgnoreCase);

// Launcher.mbl's lines: a line ends at CR LF, at a lone CR, or at a lone LF (a file edited by hand on Linux).
// At most maxLines of them, from the first.
std::vector<std::string> splitLines(const std::string& bytes, std::size_t maxLines = SIZE_MAX);

// How much of Launcher.mbl is read: its first lines and its first bytes, so that no file, however large, holds
// up the start. The editor keeps a list to 30 programs; these are for files made by hand.
constexpr std::size_t maxListEntries = 1000;
constexpr std::size_t maxListBytes = 1024 * 1024;

// What is read of Launcher.mbl.
struct ListLines {
    std::vector<std::string> lines;
    bool leftOut = false; // the file holds more than was read
};

// The list's lines from the file's first bytes, as read up to maxListBytes + 1 (one more tells that the file goes
// on): at most maxListEntries lines, and none that the byte limit cuts short.
ListLines listLines(const std::string& bytes);

// The file's bytes for these lines, every one ended by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

} // namespace nimbrel
