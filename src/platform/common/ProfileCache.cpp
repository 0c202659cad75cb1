#include "ProfileCache.h"

#include "IniText.h"

#include <algorithm>
#include <chrono>

namespace nimbrel::ini {

namespace {

std::int64_t nanosecondsSince1970()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

} // namespace

ParsedProfile* ProfileCache::current(const std::string& path, Load& load)
{
    if (profile_ && path == path_ && settled_ && disk_.stampOf(path) == stamp_) {
        load = Load::Loaded;
        return profile_.get();
    }

    // Taken before the reading: the text is at least as new as this moment.
    const std::int64_t readAt = nanosecondsSince1970();
    std::string text;
    FileStamp stamp;
    load = disk_.load(path, text, stamp);
    if (load != Load::Loaded) {
        drop();
        return nullptr;
    }
    // The same text again keeps what was parsed of it.
    if (!profile_ || path != path_ || text != profile_->text())
        profile_ = std::make_unique<ParsedProfile>(std::move(text));
    path_ = path;
    stamp_ = stamp;
    settled_ = std::max(stamp.modified, stamp.changed) < readAt - kSettledNanoseconds;
    return profile_.get();
}

std::string ProfileCache::read(const std::string& path, const std::string& section, const std::string& key,
                               const std::string& defaultValue)
{
    const std::lock_guard<std::mutex> hold(lock_);
    Load load = Load::Unreadable;
    ParsedProfile* profile = current(path, load);
    if (load == Load::Unreadable) return unreadableDefault(defaultValue);
    if (!profile) return readValue({}, section, key, defaultValue);
    return profile->read(section, key, defaultValue);
}

ProfileCache::Edit ProfileCache::edit(const std::string& path, const std::string& section, const std::string& key,
                                      const std::string& value)
{
    const std::lock_guard<std::mutex> hold(lock_);
    Edit edit;
    ParsedProfile* profile = current(path, edit.load);
    if (profile && profile->holds(section, key, value)) return edit;
    if (edit.load != Load::Unreadable) edit.text = withValue(profile ? profile->text() : "", section, key, value);
    return edit;
}

void ProfileCache::forget()
{
    const std::lock_guard<std::mutex> hold(lock_);
    drop();
}

void ProfileCache::drop()
{
    profile_.reset();
    path_.clear();
    settled_ = false;
}

} // namespace nimbrel::ini
