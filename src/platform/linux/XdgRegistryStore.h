#pragma once

#include "AutostartEntry.h"
#include "core/system/RegistryStore.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

// The registry hive the program keeps its machine-wide settings in, held as
// folders and files of the user under $XDG_CONFIG_HOME/nimbrel/.
//
// A key is a folder; a value is the file "<name>.value" in its key's folder and
// holds the value's bytes exactly as given. Key paths split at backslashes
// (empty parts are skipped, so "\A\\B\" is "A\B"). Names match without regard
// to case by storing them folded: ASCII letters are lower-cased (other letters
// keep their case); ASCII bytes other than letters, digits, '-', '_' and blanks
// are written %XX. A name can therefore neither leave the root ("..", "/") nor
// pass for a value file, and the unnamed value of a key is "@.value":
//   Software\Microsoft\Nimbrel, "LastRelease"  ->  software/microsoft/nimbrel/lastrelease.value
//
// Software\Microsoft\Windows\CurrentVersion\Run, "Nimbrel" is the program's
// start-with-the-desktop entry and lives in the autostart folder instead (see
// AutostartEntry): its text is the executable's path. The Run key and the keys
// above it always exist; any other value under them is stored like any value.
class XdgRegistryStore : public RegistryStore {
public:
    // $XDG_CONFIG_HOME/nimbrel, or ~/.config/nimbrel.
    static std::filesystem::path defaultRoot();

    explicit XdgRegistryStore(std::filesystem::path root = defaultRoot(),
                              std::filesystem::path autostartFolder = AutostartEntry::defaultFolder());

    bool keyExists(const std::string& subKey) override;
    bool createKey(const std::string& subKey) override;
    std::optional<std::string> queryValue(const std::string& subKey, const std::string& name) override;
    bool setValue(const std::string& subKey, const std::string& name, const std::string& data) override;
    bool deleteValue(const std::string& subKey, const std::string& name) override;

    // The folder of a key and the file of a value, as laid out above.
    std::filesystem::path keyFolder(const std::string& subKey) const;
    std::filesystem::path valueFile(const std::string& subKey, const std::string& name) const;

private:
    static std::vector<std::string> keyParts(const std::string& subKey);
    static bool isRunOrAbove(const std::vector<std::string>& parts);
    static bool isStartupValue(const std::string& subKey, const std::string& name);

    std::filesystem::path root_;
    AutostartEntry autostart_;
};

} // namespace nimbrel
