#include "Win32ProfileFile.h"

#include "WholeFile.h"
#include "WideText.h"

#include <windows.h>

#include <mutex>
#include <optional>
#include <system_error>

namespace nimbrel {

namespace {

// One write at a time in this process: each one reads the file, changes one line and replaces the file, and two
// at once would lose one of the changes.
std::mutex writeLock;

} // namespace

Win32ProfileFile::Win32ProfileFile() : cache_(disk_) {}

std::string Win32ProfileFile::readString(const std::string& path, const std::string& section, const std::string& key,
                                         const std::string& defaultValue)
{
    return cache_.read(path, section, key, defaultValue);
}

bool Win32ProfileFile::writeString(const std::string& path, const std::string& section, const std::string& key,
                                   const std::string& value)
{
    const std::lock_guard<std::mutex> lock(writeLock);
    const std::wstring target = wide::fromUtf8(path);

    const ini::ProfileCache::Edit edit = cache_.edit(path, section, key, value);
    // A file that could not be read is not replaced: the user's other settings in it would be lost.
    if (edit.load == ini::Load::Unreadable) return failed("it cannot be read, and the settings in it would be lost");
    // Nor is a read-only file, which the profile functions refuse as well.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (edit.load == ini::Load::Loaded && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY)) {
        return failed("the file is read-only");
    }

    // The same value again: the file stays as it is.
    if (!edit.text) return true;
    cache_.forget();
    if (!wholefile::replace(target, *edit.text))
        return failed(std::system_category().message(static_cast<int>(GetLastError())));
    return true;
}

bool Win32ProfileFile::failed(std::string why)
{
    failure_ = std::move(why);
    return false;
}

} // namespace nimbrel
