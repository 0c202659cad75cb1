#pragma once

#include <filesystem>
#include <string>

// A file replaced in one step: the new bytes go to a temporary file beside it, reach the disk, and are renamed
// over the old name, so that a reader or a crash sees the old file or the new one, never a part of either.
//
// A temporary is named ".<file name>.nimbrel-<process id>-<random>.tmp", so that the one a writer killed
// half-way leaves behind can be told from any other file and from a write still under way: it is a leftover
// when its writer has ended, or when it is older than the program now running. The next replacement of the same
// file removes the file's leftovers before it writes, and removeLeftovers does it for a whole folder at the start.
namespace nimbrel::configfiles {

// How a replacement treats what stands at the name already.
enum class Existing {
    // The new file has exactly the mode given, whatever stood there (the program's own files).
    Replaced,
    // The user's file: one this user may not write (its mode, an immutable flag) is left as it is and the
    // replacement fails; one the user may write keeps its mode and, where that may be given, its owner; a new
    // one gets the mode given less the umask, as any editor's new file.
    Kept,
};

// What becomes of a symbolic link in the file's place.
enum class Link {
    // It stays a link: the file it leads to is the one replaced (created, when the link leads nowhere yet).
    Followed,
    // The file takes the link's place; whatever the link led to is left alone.
    Replaced,
};

// Replaces (or creates) the file with the bytes. False, with the file as it was and no temporary left, when the
// replacement cannot be made; errno then says why.
bool replaceFile(const std::filesystem::path& file, const std::string& bytes, unsigned mode = 0600,
                 Existing existing = Existing::Replaced, Link link = Link::Followed);

// A new temporary for the file, in its folder, named as a replacement names its own (so that one a writer killed
// half-way leaves behind is swept as theirs are) and created with the mode given: for a file written piece by
// piece before it takes its name. The open descriptor, with the temporary's path in temporary; -1 when it cannot
// be made.
int createTemporary(const std::filesystem::path& file, unsigned mode, std::string& temporary);

// Makes a rename in the folder survive a crash; a failure here loses nothing that is already written (some file
// systems cannot sync a folder), so it is not reported.
void syncFolder(const std::filesystem::path& folder);

// The file a path leads to through any symbolic links on the way to its name; the path itself when it is no link.
std::filesystem::path followLinks(const std::filesystem::path& file);

// True when this user may write the file (its mode bits and an immutable or append-only flag both count).
bool mayWrite(const std::filesystem::path& file);

// Removes the leftovers of replacements cut short in the folder (not in the folders below it), whatever file
// they were for; also a bare ".tmp-XXXXXX" that earlier versions named their temporaries with, when it is this
// user's and older than the program now running.
void removeLeftovers(const std::filesystem::path& folder);

} // namespace nimbrel::configfiles
