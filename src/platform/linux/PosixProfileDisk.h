#pragma once

#include "platform/common/ProfileCache.h"

namespace nimbrel {

// The profile cache's file calls on a POSIX system: stat() for the stamp, open() and read() for the text.
class PosixProfileDisk : public ini::ProfileDisk {
public:
    std::optional<ini::FileStamp> stampOf(const std::string& path) override;
    ini::Load load(const std::string& path, std::string& text, ini::FileStamp& stamp) override;
};

} // namespace nimbrel
