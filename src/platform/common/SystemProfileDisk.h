#pragma once

#include "ProfileCache.h"

#include <optional>
#include <string>

namespace nimbrel {

// This system's file calls for a profile: those the cache reads through, and those a write goes through. Each
// system defines them in its own folder (linux/PosixProfileDisk.cpp, windows/Win32ProfileDisk.cpp).
class SystemProfileDisk final : public ini::ProfileDisk {
public:
    std::optional<ini::FileStamp> stampOf(const std::string& path) override;
    ini::Load load(const std::string& path, std::string& text, ini::FileStamp& stamp) override;

    // The file a write to path changes: on Linux the file a symbolic link leads to, so a link stays a link.
    std::string writeTarget(const std::string& path);
    // Why the file at path, which was read, may not be written to, in the system's words; nothing when it may.
    std::optional<std::string> writeRefusal(const std::string& path);
    // Replaces (or creates) the file at path with text in one step, so a crash or a full disk leaves the old
    // file or the new one; why it could not, in the system's words, when it could not.
    std::optional<std::string> replace(const std::string& path, const std::string& text);
};

} // namespace nimbrel
