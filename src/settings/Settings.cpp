#include "Settings.h"

#include "core/system/ProfileFile.h"
#include "core/system/ProgramDirectory.h"
#include "core/base/Trap.h"

namespace nimbrel {

Settings::Settings(ProfileFile& profile, ProgramDirectory& directory, ErrorReporter& reporter)
    : profile_(profile), directory_(directory), reporter_(reporter)
{
}

std::string settingsFile(ProgramDirectory& directory)
{
    return directory.settingsPath() + "/settings.ini";
}

std::string Settings::path()
{
    return settingsFile(directory_);
}

std::string Settings::getData(const std::string& section, const std::string& key, const std::string& defaultValue)
{
    const Trap trap(reporter_, "frmMain,getData");
    std::string buffer(255, ' ');
    trap([&] { buffer = profile_.readString(path(), section, key, defaultValue); });
    std::string result;
    const Trap stripTrap(reporter_, "frmMain,stripNull");
    stripTrap([&] { result = stripNull(buffer); });
    return result;
}

void Settings::writeData(const std::string& section, const std::string& key, const std::string& value)
{
    Trap::silent()([&] {
        const std::string file = path();
        if (profile_.writeString(file, section, key, value) || !writeFailure_.empty()) return;
        writeFailure_ = "Nimbrel could not save its settings in " + file + ": " + profile_.writeFailure() +
                        ". What you choose now lasts only until Nimbrel ends.";
        writeFailed.emit();
    });
}

void Settings::storeUnlessLoading(bool isLoading, const char* tag, const SettingKey& k, int value)
{
    if (isLoading) return;
    const Trap trap(reporter_, tag);
    trap([&] { writeData(k, std::to_string(value)); });
}

std::string stripNull(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

} // namespace nimbrel
