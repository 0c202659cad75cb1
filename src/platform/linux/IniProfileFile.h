#pragma once

#include "platform/common/StoredProfileFile.h"

namespace nimbrel {

// settings.ini read and written the way the classic private-profile functions do it (the lookup rules are in
// IniText.h), with two differences that a user of the file can only be glad of: the lines a write does not
// touch stay byte for byte as they were, and every write replaces the file in one step, so a crash or a full
// disk leaves the old file or the new one. What was read of the file is kept while the file stays as it was.
// The file calls are POSIX ones (PosixProfileDisk.cpp): a write through a symbolic link replaces the file it
// leads to, and a replaced file keeps its mode and, where allowed, its owner.
using IniProfileFile = StoredProfileFile;

} // namespace nimbrel
