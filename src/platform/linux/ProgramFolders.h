#pragma once

#include "ExecutableDirectory.h"

#include <filesystem>
#include <string>

namespace nimbrel {

// Where the program keeps its files, decided once when it starts.
//
// Portable: the folder of the executable can be written by this user (a copy
// unpacked in the home, a stick, an AppImage's folder); settings.ini,
// Launcher.mbl and the two background bitmaps live beside the executable.
//
// Installed: the folder cannot be written (under /usr or /opt, owned by root);
// settings.ini and Launcher.mbl live in the user's configuration folder, the
// bitmaps in the user's data folder. A bitmap the user put there is shown; else
// one shipped beside the installed executable; else the grid is drawn and saved
// in the data folder.
//
// The folders chosen at the start hold for the whole run, even when the
// executable's folder changes its mode meanwhile.
class ProgramFolders : public ExecutableDirectory {
public:
    // $XDG_CONFIG_HOME/nimbrel and $XDG_DATA_HOME/nimbrel.
    static std::filesystem::path defaultConfigFolder();
    static std::filesystem::path defaultDataFolder();

    explicit ProgramFolders(std::string exeLink = "/proc/self/exe",
                            std::filesystem::path configFolder = defaultConfigFolder(),
                            std::filesystem::path dataFolder = defaultDataFolder());

    bool portable() override { return portable_; }
    std::string settingsPath() override { return settingsFolder_; }
    std::string picturePath(const std::string& name) override;

private:
    bool portable_;
    std::string programFolder_;
    std::string settingsFolder_;
    std::string pictureFolder_;
};

} // namespace nimbrel
