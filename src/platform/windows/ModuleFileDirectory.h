#pragma once

#include "core/system/ProgramDirectory.h"

#include <string>

namespace nimbrel {

// The directory and name of the running executable, from GetModuleFileNameW. The copy the installer put in
// place (the folder its entry among the installed programs names) keeps its files in %APPDATA%\Nimbrel, and so
// does a copy in a folder this user cannot write; any other copy keeps them beside the executable. Decided once,
// when the program starts.
class ModuleFileDirectory : public ProgramDirectory {
public:
    // installEntry: the installer's key under HKEY_LOCAL_MACHINE (the 64-bit view, this program's own), whose
    // InstallLocation value names the installed copy's folder.
    explicit ModuleFileDirectory(
        const std::wstring& installEntry = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbrel");

    bool portable() override { return portable_; }
    // True when this is the copy the installer put in place.
    bool installedBySetup() const { return installedBySetup_; }
    std::string settingsPath() override { return settingsFolder_; }
    std::string picturePath(const std::string& name) override { return settingsFolder_ + "\\" + name; }
    std::string path() override;
    // The executable's path quoted, as a Run value must be: unquoted, a path with a space in it would start
    // C:\Program.exe where one exists.
    std::string startCommand() override;

private:
    bool portable_ = true;
    bool installedBySetup_ = false;
    std::string settingsFolder_;
};

} // namespace nimbrel
