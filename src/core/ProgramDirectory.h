#pragma once

#include <string>

namespace nimbrel {

class ProgramDirectory {
public:
    virtual ~ProgramDirectory() = default;
    // True when the program keeps its files beside its executable (a folder this
    // user can write); false when it is installed and keeps them in the user's homes.
    // The same answer for the whole run.
    virtual bool portable() = 0;
    // The folder of settings.ini and Launcher.mbl, without a trailing separator.
    virtual std::string settingsPath() = 0;
    // The path of the background bitmap of that name ("graphback.bmp"): the file to load,
    // and the one to draw and save when it is missing.
    virtual std::string picturePath(const std::string& name) = 0;
    // The directory of the running executable, without a trailing separator.
    virtual std::string path() = 0;
    // The running executable's file name, exactly as it stands in its directory.
    virtual std::string executableName() = 0;
};

} // namespace nimbrel
