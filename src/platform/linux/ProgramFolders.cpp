#include "ProgramFolders.h"

#include "ConfigFiles.h"
#include "ProgramFolderFiles.h"

#include <unistd.h>

namespace nimbrel {

namespace {

bool present(const std::string& file) { return ::access(file.c_str(), F_OK) == 0; }

} // namespace

std::filesystem::path ProgramFolders::defaultConfigFolder() { return configfiles::configHome() / "nimbrel"; }

std::filesystem::path ProgramFolders::defaultDataFolder() { return configfiles::dataHome() / "nimbrel"; }

ProgramFolders::ProgramFolders(std::string exeLink, std::filesystem::path configFolder,
                               std::filesystem::path dataFolder)
    : ExecutableDirectory(std::move(exeLink)), programFolder_(path())
{
    portable_ = ProgramFolderFiles().folderWritable(programFolder_);
    if (portable_) {
        settingsFolder_ = pictureFolder_ = programFolder_;
        return;
    }
    // Made now, so that the first setting and the first bitmap have a place to go. A
    // failure shows later, as a setting or a bitmap that cannot be saved.
    configfiles::makePrivateDirectories(configFolder);
    configfiles::makePrivateDirectories(dataFolder);
    settingsFolder_ = configFolder.string();
    pictureFolder_ = dataFolder.string();
}

std::string ProgramFolders::picturePath(const std::string& name)
{
    const std::string own = pictureFolder_ + "/" + name;
    if (portable_ || present(own)) return own;
    const std::string shipped = programFolder_ + "/" + name;
    return present(shipped) ? shipped : own;
}

} // namespace nimbrel
