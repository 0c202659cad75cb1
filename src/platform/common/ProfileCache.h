#pragma once

#include "ParsedProfile.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace nimbrel::ini {

// One version of a file as the file system tells it: which file it is, its size and when it last changed.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t file = 0; // the file's number on its device
    std::uint64_t size = 0;
    std::int64_t modified = 0; // nanoseconds since 1970, the last write
    std::int64_t changed = 0;  // nanoseconds since 1970, the last change of the file or its attributes
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

enum class Load { Loaded, Absent, Unreadable };

// The platform's file calls the cache works through.
class ProfileDisk {
public:
    virtual ~ProfileDisk() = default;
    // The stamp of the regular file at path; nothing when there is none or it cannot be looked at.
    virtual std::optional<FileStamp> stampOf(const std::string& path) = 0;
    // The whole text of the file at path and the stamp it had before it was read. A file that is not there is
    // Absent; one that cannot be read (a folder or a pipe in its place, no permission) is Unreadable.
    virtual Load load(const std::string& path, std::string& text, FileStamp& stamp) = 0;
};

// The sections read from the profile last read, kept with the stamp of the file they came from, so that a file
// that has not changed is not read and parsed again for every key. A change made by any program shows in the
// stamp and is seen at the next read.
//
// A stamp alone cannot tell two versions apart that were written within one tick of the file system's clock
// (two seconds on FAT) with the same size, as a program that rewrites the file in place may do. So a stamp is
// trusted only once the file's last change lies more than kSettledNanoseconds before the moment its text was
// read: any later write then gets a later time. Until then the file is read again at every use, and what was
// parsed of it is kept only when the text is the one it was parsed from (the same size and hash).
class ProfileCache {
public:
    static constexpr std::int64_t kSettledNanoseconds = 3'000'000'000;

    explicit ProfileCache(ProfileDisk& disk) : disk_(disk) {}

    // What a read of key in section of the file at path gives.
    std::string read(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& defaultValue);

    // What a write of value to key in section of the file at path makes of it: the load of the file and its new
    // text, nothing when the file already holds that value.
    struct Edit {
        Load load = Load::Unreadable;
        std::optional<std::string> text;
    };
    Edit edit(const std::string& path, const std::string& section, const std::string& key, const std::string& value);

    // The file was replaced by a write: what is kept is no longer of its text.
    void forget();

private:
    // Whether the file at path is the version the sections kept were read from, without reading it.
    bool unchanged(const std::string& path);
    // Reads the file at path and keeps section of it (and the sections kept before, when its text is the same);
    // the text goes to the caller.
    Load refresh(const std::string& path, const std::string& section, std::string& text);
    void drop();

    ProfileDisk& disk_;
    std::mutex lock_;
    std::optional<ParsedProfile> profile_;
    std::string path_;
    FileStamp stamp_;
    std::size_t textHash_ = 0;
    bool settled_ = false;
};

} // namespace nimbrel::ini
