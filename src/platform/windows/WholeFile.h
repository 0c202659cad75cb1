#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The program's own small files (settings.ini, Launcher.mbl, a downloaded program), read whole and replaced in one
// step: the new bytes go to a temporary beside the file, are flushed to the disk and moved over it with
// MoveFileExW, so a crash or a full disk leaves the old file or the new one, never a part of either.
namespace nimbrel::wholefile {

enum class Load { Loaded, Absent, Unreadable };

// The bytes of the file at path, at most maxBytes of them from its start. Absent when neither the file nor its
// folder is there; Unreadable for anything else that cannot be read (a folder in the file's place, no permission,
// a device).
Load read(const std::wstring& path, std::string& bytes, std::size_t maxBytes = std::string::npos);

// The rest of an open file (a HANDLE), from where it stands to its end or to maxBytes read; false when a read fails.
bool readAll(void* file, std::string& bytes, std::size_t maxBytes = std::string::npos);

// Where a replacement of target writes first: the same name for every write of that file, so that the leftover of
// a write that crashed is taken over by the next one instead of staying behind for ever.
std::wstring temporaryFor(const std::wstring& target);

// How a temporary, written and flushed, takes target's place; true when it did.
using MoveIn = bool (*)(const std::wstring& temporary, const std::wstring& target);

// MoveFileExW over target, replacing it, the move itself written through to the disk.
bool moveOver(const std::wstring& temporary, const std::wstring& target);

// Replaces (or creates) target with the bytes; false, with target as it was, when that cannot be done.
bool replace(const std::wstring& target, std::string_view bytes, MoveIn moveIn = moveOver);

} // namespace nimbrel::wholefile
