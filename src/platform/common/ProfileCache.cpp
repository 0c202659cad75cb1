#include "ProfileCache.h"

#include "IniText.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <string_view>

namespace nimbrel::ini {

namespace {

std::int64_t nanosecondsSince1970()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

} // namespace

bool ProfileCache::unchanged(const std::string& path)
{
    return profile_ && settled_ && path == path_ && disk_.stampOf(path) == stamp_;
}

Load ProfileCache::refresh(const std::string& path, const std::string& section, std::string& text)
{
    // Taken before the reading: the text is at least as new as this moment.
    const std::int64_t readAt = nanosecondsSince1970();
    FileStamp stamp;
    const Load load = disk_.load(path, text, stamp);
    if (load != Load::Loaded) {
        drop();
        return load;
    }
    // What was read of the version kept stays when this is the same version: the same trusted stamp, or the same
    // size and hash of the text.
    bool same = profile_ && path == path_ && settled_ && stamp == stamp_;
    if (!same) {
        const std::size_t hash = std::hash<std::string_view>{}(text);
        same = profile_ && path == path_ && stamp.size == stamp_.size && hash == textHash_;
        textHash_ = hash;
    }
    if (!same) profile_.emplace();
    path_ = path;
    stamp_ = stamp;
    settled_ = std::max(stamp.modified, stamp.changed) < readAt - kSettledNanoseconds;
    if (!profile_->has(section)) profile_->add(text, section);
    return load;
}

std::string ProfileCache::read(const std::string& path, const std::string& section, const std::string& key,
                               const std::string& defaultValue)
{
    const std::lock_guard<std::mutex> hold(lock_);
    if (!unchanged(path) || !profile_->has(section)) {
        std::string text;
        const Load load = refresh(path, section, text);
        if (load == Load::Unreadable) return unreadableDefault(defaultValue);
        if (load == Load::Absent) return readValue({}, section, key, defaultValue);
    }
    return profile_->read(section, key, defaultValue);
}

ProfileCache::Edit ProfileCache::edit(const std::string& path, const std::string& section, const std::string& key,
                                      const std::string& value)
{
    const std::lock_guard<std::mutex> hold(lock_);
    Edit edit{Load::Loaded, std::nullopt};
    if (unchanged(path) && profile_->has(section) && profile_->holds(section, key, value)) return edit;
    std::string text;
    edit.load = refresh(path, section, text);
    if (edit.load == Load::Unreadable || (edit.load == Load::Loaded && profile_->holds(section, key, value))) {
        return edit;
    }
    edit.text = withValue(text, section, key, value);
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
