#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace nimbrel {

// The program's start-with-the-desktop entry: Nimbrel.desktop in the user's
// XDG autostart folder, whose Exec line starts one executable.
class AutostartEntry {
public:
    // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart.
    static std::filesystem::path defaultFolder();

    explicit AutostartEntry(std::filesystem::path folder = defaultFolder());

    // Where the entry lives.
    std::filesystem::path file() const;
    // The executable the entry starts; nothing when there is no entry, it is
    // switched off (Hidden=true, X-GNOME-Autostart-enabled=false) or cannot be read.
    std::optional<std::string> executable() const;
    // Writes an entry starting the executable, creating the folder when missing;
    // false when the path cannot stand in a desktop entry (empty, not UTF-8,
    // control characters other than tab and line breaks) or the write fails.
    bool write(const std::string& executable);
    // Removes the entry; false when there is none or it cannot be removed.
    bool remove();

private:
    std::filesystem::path folder_;
};

} // namespace nimbrel
