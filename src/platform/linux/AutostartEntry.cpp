#include "AutostartEntry.h"

#include "ConfigFiles.h"
#include "DesktopEntryText.h"
#include "FileReplacement.h"

#include <string_view>
#include <unistd.h>
#include <utility>

namespace nimbrel {

namespace {

constexpr std::string_view kFileName = "Nimbrel.desktop";
bool isFalse(std::string_view value) { return value == "false" || value == "0"; }
bool isTrue(std::string_view value) { return value == "true" || value == "1"; }

// Tab and line breaks have escapes of their own in a desktop entry; the other
// control characters cannot be written there at all.
bool canStandInEntry(std::string_view executable)
{
    if (executable.empty() || !desktopentry::isValidUtf8(executable)) return false;
    for (const char c : executable) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F) return false;
    }
    return true;
}

// The raw Exec value of the entry; nothing when the file is not a key file,
// has no Exec key or the entry is switched off.
std::optional<std::string> execOfEntry(std::string_view contents)
{
    const auto keys = desktopentry::mainGroup(contents);
    if (!keys) return std::nullopt;
    const auto value = [&](const char* key) -> std::string_view {
        const auto it = keys->find(key);
        return it == keys->end() ? std::string_view() : std::string_view(it->second);
    };
    if (isTrue(value("Hidden")) || isFalse(value("X-GNOME-Autostart-enabled"))) return std::nullopt;
    const auto exec = keys->find("Exec");
    if (exec == keys->end()) return std::nullopt;
    return exec->second;
}

} // namespace

std::filesystem::path AutostartEntry::defaultFolder() { return configfiles::configHome() / "autostart"; }

AutostartEntry::AutostartEntry(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path AutostartEntry::file() const { return folder_ / kFileName; }

std::optional<std::string> AutostartEntry::executable() const
{
    const auto contents = configfiles::readRegularFile(file());
    if (!contents) return std::nullopt;
    const auto exec = execOfEntry(*contents);
    if (!exec) return std::nullopt;
    const auto command = desktopentry::commandLine(*exec);
    if (!command || !desktopentry::isValidUtf8(command->front())) return std::nullopt;
    return command->front();
}

bool AutostartEntry::write(const std::string& executable)
{
    if (!canStandInEntry(executable)) return false;
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Nimbrel\n"
                              "Comment=Frees memory for the programs you run\n"
                              // Once the program is gone (the package removed, the folder deleted), the
                              // desktop skips the entry instead of failing to start it at every login.
                              "TryExec=" + desktopentry::escapeString(executable) + "\n"
                              "Exec=" + desktopentry::execValue(executable) + "\n"
                              "Icon=nimbrel\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    // Written at every start: an entry that already says this stays as it is.
    if (configfiles::readRegularFile(file()) == entry) return true;
    return configfiles::makePrivateDirectories(folder_) && configfiles::replaceFile(file(), entry);
}

bool AutostartEntry::remove() { return ::unlink(file().c_str()) == 0; }

} // namespace nimbrel
