#pragma once

#include "core/ProgramDirectory.h"

#include <string>

namespace nimbrel {

// The directory and name of the running executable, from GetModuleFileNameW.
class ModuleFileDirectory : public ProgramDirectory {
public:
    std::string path() override;
    std::string executableName() override;
};

} // namespace nimbrel
