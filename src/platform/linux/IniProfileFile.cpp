#include "IniProfileFile.h"

#include "FileReplacement.h"

#include <cerrno>
#include <mutex>
#include <system_error>

namespace nimbrel {

namespace {

// One write at a time in this process: each one reads the file, changes one line and replaces the file, and two
// at once would lose one of the changes.
std::mutex writeLock;

} // namespace

IniProfileFile::IniProfileFile() : cache_(disk_) {}

std::string IniProfileFile::readString(const std::string& path, const std::string& section, const std::string& key,
                                       const std::string& defaultValue)
{
    return cache_.read(path, section, key, defaultValue);
}

bool IniProfileFile::writeString(const std::string& path, const std::string& section, const std::string& key,
                                 const std::string& value)
{
    const std::lock_guard<std::mutex> lock(writeLock);
    // A symbolic link stays a link: the file it leads to is the one read and replaced.
    const std::string target = configfiles::followLinks(path).string();

    const ini::ProfileCache::Edit edit = cache_.edit(target, section, key, value);
    // A file that could not be read is not replaced: the user's other settings in it would be lost.
    if (edit.load == ini::Load::Unreadable) return failed("it cannot be read, and the settings in it would be lost");
    // Nor is a file we may not write to: the profile functions refuse a read-only file as well.
    if (edit.load == ini::Load::Loaded && !configfiles::mayWrite(target))
        return failed(std::generic_category().message(errno));

    // The same value again: the file stays as it is.
    if (!edit.text) return true;
    cache_.forget();
    // An existing file keeps its permission bits (and, where allowed, its owner); a new one gets the umask's
    // default like any editor's.
    if (!configfiles::replaceFile(target, *edit.text, 0666, configfiles::Existing::Kept))
        return failed(std::generic_category().message(errno));
    return true;
}

bool IniProfileFile::failed(std::string why)
{
    failure_ = std::move(why);
    return false;
}

} // namespace nimbrel
