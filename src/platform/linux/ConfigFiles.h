#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The user's configuration home and how the program's own files in it are
// made: folders 0700 and files 0600 whatever the umask, each file replaced in
// one step so that a reader sees the old text or the new, never a mixture.
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

// Makes a rename in the folder survive a crash; a failure is not reported, as it
// loses nothing already written.
void syncFolder(const std::filesystem::path& folder);

// Replaces (or creates) the file with the bytes given: a temporary file of the
// mode given in the same folder, written, flushed and renamed over the old one.
bool replaceFile(const std::filesystem::path& file, const std::string& bytes, unsigned mode = 0600);

// The bytes of a regular file; nothing when it is missing, is not a regular
// file (a folder, a pipe) or cannot be read. Without followLinks, a symbolic
// link in the file's place is not followed: it gives nothing.
std::optional<std::string> readRegularFile(const std::filesystem::path& file, bool followLinks = true);

} // namespace nimbrel::configfiles
