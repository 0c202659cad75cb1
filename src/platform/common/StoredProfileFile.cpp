#include "StoredProfileFile.h"

#include <mutex>

namespace nimbrel {

namespace {

// One write at a time in this process: each one reads the file, changes one line and replaces the file, and two
// at once would lose one of the changes.
std::mutex writeLock;

} // namespace

StoredProfileFile::StoredProfileFile() : cache_(disk_) {}

std::string StoredProfileFile::readString(const std::string& path, const std::string& section,
                                          const std::string& key, const std::string& defaultValue)
{
    return cache_.read(path, section, key, defaultValue);
}

bool StoredProfileFile::writeString(const std::string& path, const std::string& section, const std::string& key,
                                    const std::string& value)
{
    const std::lock_guard<std::mutex> lock(writeLock);
    const std::string target = disk_.writeTarget(path);

    const ini::ProfileCache::Edit edit = cache_.edit(target, section, key, value);
    // A file that could not be read is not replaced: the user's other settings in it would be lost.
    if (edit.load == ini::Load::Unreadable) return failed("it cannot be read, and the settings in it would be lost");
    // Nor is a file we may not write to: the profile functions refuse a read-only file as well.
    if (edit.load == ini::Load::Loaded) {
        if (std::optional<std::string> refusal = disk_.writeRefusal(target)) return failed(std::move(*refusal));
    }

    // The same value again: the file stays as it is.
    if (!edit.text) return true;
    cache_.forget();
    if (std::optional<std::string> failure = disk_.replace(target, *edit.text)) return failed(std::move(*failure));
    return true;
}

bool StoredProfileFile::failed(std::string why)
{
    failure_ = std::move(why);
    return false;
}

} // namespace nimbrel
