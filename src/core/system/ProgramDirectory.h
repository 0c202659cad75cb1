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
    // What the session's start-at-logon entry holds to start this executable again: its whole path, in the form the
    // system's entry takes (a path the entry quotes itself, or a command line with the path quoted).
    virtual std::string startCommand() = 0;
};

} // namespace nimbrel
