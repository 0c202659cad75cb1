#pragma once

#include "platform/common/ProfileCache.h"

namespace nimbrel {

// The profile cache's file calls on Windows: the volume, file index, size and times of an open handle for the
// stamp, ReadFile for the text.
class Win32ProfileDisk : public ini::ProfileDisk {
public:
    std::optional<ini::FileStamp> stampOf(const std::string& path) override;
    ini::Load load(const std::string& path, std::string& text, ini::FileStamp& stamp) override;
};

} // namespace nimbrel
