#pragma once

#include <string>

namespace nimbrel {

class ProgramDirectory {
public:
    virtual ~ProgramDirectory() = default;
    // The directory of the running executable, without a trailing separator.
    virtual std::string path() = 0;
    // The running executable's file name, exactly as it stands in its directory.
    virtual std::string executableName() = 0;
};

} // namespace nimbrel
