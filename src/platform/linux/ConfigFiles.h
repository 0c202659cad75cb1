#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The user's configuration home and how the program's own folders in it are
// made (0700 whatever the umask), and files read whole. Files are written
// through FileReplacement.h.
namespace nimbrel::configfiles {

// $XDG_CONFIG_HOME when it names an absolute path, else ~/.config ($HOME, or
// the password database when HOME is unset or relative).
std::filesystem::path configHome();

// $XDG_DATA_HOME when it names an absolute path, else ~/.local/share.
std::filesystem::path dataHome();

// True when the path names a folder (following links).
bool isDirectory(const std::filesystem::path& folder);

// Creates the folder and any missing folder above it, each 0700; true when it
// exists as a folder afterwards. Folders that were there already keep their mode.
bool makePrivateDirectories(const std::filesystem::path& folder);

// The bytes of a regular file, at most maxBytes of them from its start;
// nothing when it is missing, is not a regular file (a folder, a pipe) or
// cannot be read. Without followLinks, a symbolic link in the file's place is
// not followed: it gives nothing.
std::optional<std::string> readRegularFile(const std::filesystem::path& file,
                                           std::size_t maxBytes = std::string::npos, bool followLinks = true);

} // namespace nimbrel::configfiles
