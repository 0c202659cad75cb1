#include "Win32ProfileFile.h"

#include "WholeFile.h"
#include "WideText.h"
#include "platform/common/IniText.h"

#include <windows.h>

#include <mutex>
#include <optional>

namespace nimbrel {

namespace {

using wholefile::Load;

// One write at a time in this process: each one reads the file, changes one line and replaces the file, and two
// at once would lose one of the changes.
std::mutex writeLock;

} // namespace

std::string Win32ProfileFile::readString(const std::string& path, const std::string& section, const std::string& key,
                                         const std::string& defaultValue)
{
    std::string text;
    const Load load = wholefile::read(wide::fromUtf8(path), text);
    if (load == Load::Unreadable) return ini::unreadableDefault(defaultValue);
    return ini::readValue(text, section, key, defaultValue);
}

bool Win32ProfileFile::writeString(const std::string& path, const std::string& section, const std::string& key,
                                   const std::string& value)
{
    const std::lock_guard<std::mutex> lock(writeLock);
    const std::wstring target = wide::fromUtf8(path);

    std::string text;
    const Load load = wholefile::read(target, text);
    // A file that could not be read is not replaced: the user's other settings in it would be lost.
    if (load == Load::Unreadable) return false;
    // Nor is a read-only file, which the profile functions refuse as well.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (load == Load::Loaded && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }

    const std::optional<std::string> updated = ini::withValue(text, section, key, value);
    // The same value again: the file stays as it is.
    if (!updated) return true;
    return wholefile::replace(target, *updated);
}

} // namespace nimbrel
