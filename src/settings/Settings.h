#pragma once

#include "SettingsKeys.h"
#include "core/base/Signal.h"

#include <string>

namespace nimbrel {

class ErrorReporter;
class ProfileFile;
class ProgramDirectory;

// settings.ini beside the executable: read key by key at start-up, written
// key by key the moment a control changes. No cache: every call goes to the file.
class Settings {
public:
    Settings(ProfileFile& profile, ProgramDirectory& directory, ErrorReporter& reporter);

    // The stored text of key in section, or the default when the file, section or key is absent.
    std::string getData(const std::string& section, const std::string& key, const std::string& defaultValue);
    std::string getData(const SettingKey& k) { return getData(k.section, k.key, k.defaultValue); }
    // Stores one key at once; a write that fails is not reported as an error, but the first one of a run raises
    // writeFailed.
    void writeData(const std::string& section, const std::string& key, const std::string& value);
    void writeData(const SettingKey& k, const std::string& value) { writeData(k.section, k.key, value); }

    // What a control's change handler does: unless the stored values are
    // being applied, writes the control's new position or state, reporting a
    // failure under the handler's tag.
    void storeUnlessLoading(bool isLoading, const char* tag, const SettingKey& k, int value);

    // The file's full path, taken afresh from the program directory.
    std::string path();

    // The first write of this run that could not be stored, as the user is told of it; empty until then.
    const std::string& writeFailure() const { return writeFailure_; }
    Signal<> writeFailed;

private:
    ProfileFile& profile_;
    ProgramDirectory& directory_;
    ErrorReporter& reporter_;
    std::string writeFailure_;
};

// settings.ini's full path, in the folder the program directory names for it now.
std::string settingsFile(ProgramDirectory& directory);

// The text up to, not including, its first NUL character.
std::string stripNull(const std::string& text);

} // namespace nimbrel
