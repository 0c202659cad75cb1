#pragma once

#include "core/ProgramDirectory.h"

#include <string>

namespace nimbrel {

// The directory and name of the running executable, from GetModuleFileNameW. Where that folder can be written
// the program keeps its files beside the executable; otherwise (installed under Program Files) in
// %APPDATA%\Nimbrel. Decided once, when the program starts.
class ModuleFileDirectory : public ProgramDirectory {
public:
    ModuleFileDirectory();

    bool portable() override { return portable_; }
    std::string settingsPath() override { return settingsFolder_; }
    std::string picturePath(const std::string& name) override { return settingsFolder_ + "\\" + name; }
    std::string path() override;
    // The executable's path quoted, as a Run value must be: unquoted, a path with a space in it would start
    // C:\Program.exe where one exists.
    std::string startCommand() override;

private:
    bool portable_ = true;
    std::string settingsFolder_;
};

} // namespace nimbrel
