#pragma once

#include "ParsedProfile.h"

#include <cstdint>
#include <memory>
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

// The last profile read, kept with the stamp of the file it came from, so that a file that has not changed is
// not read and parsed again for every key. A change made by any program shows in the stamp and is seen at the
// next read.
//
// A stamp alone cannot tell two versions apart that were written within one tick of the file system's clock
// (two seconds on FAT) with the same size, as a program that rewrites the file in place may do. So a stamp is
// trusted only once the file's last change lies more than kSettledNanoseconds before the moment its text was
// read: any later write then gets a later time. Until then the file is read again at every use and its text
// compared with the one kept, which costs a read but no parsing.
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

    // The file was replaced by a write: the text kept is no longer its text.
    void forget();

private:
    // The parsed text of the file at path as it is now (nullptr with a load that is not Loaded).
    ParsedProfile* current(const std::string& path, Load& load);
    void drop();

    ProfileDisk& disk_;
    std::mutex lock_;
    std::string path_;
    FileStamp stamp_;
    bool settled_ = false;
    std::unique_ptr<ParsedProfile> profile_;
};

} // namespace nimbrel::ini
