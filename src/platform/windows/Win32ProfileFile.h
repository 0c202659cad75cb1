#pragma once

#include "platform/common/StoredProfileFile.h"

namespace nimbrel {

// settings.ini read and written by the project's own profile engine (the lookup and edit rules are in
// platform/common/IniText.h), through Win32 file calls (Win32ProfileDisk.cpp). Like on Linux, the lines a write
// does not touch stay byte for byte, and every write replaces the file in one step: a temporary beside it,
// flushed to the disk, moved over it with MoveFileExW, so a crash or a full disk leaves the old file or the new
// one. What was read of the file is kept while the file stays as it was.
using Win32ProfileFile = StoredProfileFile;

} // namespace nimbrel
