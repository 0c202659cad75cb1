#pragma once

#include "core/system/ProgramDirectory.h"

#include <string>

namespace nimbrel {

// The directory and name of the running executable, read from /proc/self/exe.
class ExecutableDirectory : public ProgramDirectory {
public:
    explicit ExecutableDirectory(std::string exeLink = "/proc/self/exe") : exeLink_(std::move(exeLink)) {}
    std::string path() override;
    // The executable's path: the autostart entry quotes it in its own syntax.
    std::string startCommand() override;

private:
    std::string exeLink_;
};

} // namespace nimbrel
