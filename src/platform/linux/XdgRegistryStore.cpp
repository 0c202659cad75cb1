#include "XdgRegistryStore.h"

#include "ConfigFiles.h"
#include "FileReplacement.h"

#include <algorithm>
#include <unistd.h>
#include <utility>

namespace nimbrel {

namespace {

// The folded names of Software\Microsoft\Windows\CurrentVersion\Run.
const std::vector<std::string> kRunKey = {"software", "microsoft", "windows", "currentversion", "run"};
const std::string kStartupValue = "nimbrel";

std::string folded(const std::string& name)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string file;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 'A' && byte <= 'Z') {
            file += static_cast<char>(byte - 'A' + 'a');
        } else if ((byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || c == '-' || c == '_' ||
                   c == ' ' || byte >= 0x80) {
            file += c;
        } else {
            file += '%';
            file += kHex[byte >> 4];
            file += kHex[byte & 0x0F];
        }
    }
    return file;
}

} // namespace

std::filesystem::path XdgRegistryStore::defaultRoot() { return configfiles::configHome() / "nimbrel"; }

XdgRegistryStore::XdgRegistryStore(std::filesystem::path root, std::filesystem::path autostartFolder)
    : root_(std::move(root)), autostart_(std::move(autostartFolder))
{
}

bool XdgRegistryStore::keyExists(const std::string& subKey)
{
    return isRunOrAbove(keyParts(subKey)) || configfiles::isDirectory(keyFolder(subKey));
}

bool XdgRegistryStore::createKey(const std::string& subKey)
{
    return configfiles::makePrivateDirectories(keyFolder(subKey));
}

std::optional<std::string> XdgRegistryStore::queryValue(const std::string& subKey, const std::string& name)
{
    if (isStartupValue(subKey, name)) return autostart_.executable();
    return configfiles::readRegularFile(valueFile(subKey, name));
}

bool XdgRegistryStore::setValue(const std::string& subKey, const std::string& name, const std::string& data)
{
    if (isStartupValue(subKey, name)) return autostart_.write(data);
    const std::filesystem::path folder = keyFolder(subKey);
    if (isRunOrAbove(keyParts(subKey))) {
        // These keys exist whether or not their folders do yet.
        if (!configfiles::makePrivateDirectories(folder)) return false;
    } else if (!configfiles::isDirectory(folder)) {
        return false;
    }
    return configfiles::replaceFile(valueFile(subKey, name), data);
}

bool XdgRegistryStore::deleteValue(const std::string& subKey, const std::string& name)
{
    if (isStartupValue(subKey, name)) return autostart_.remove();
    return ::unlink(valueFile(subKey, name).c_str()) == 0;
}

std::filesystem::path XdgRegistryStore::keyFolder(const std::string& subKey) const
{
    std::filesystem::path folder = root_;
    for (const auto& part : keyParts(subKey)) folder /= part;
    return folder;
}

std::filesystem::path XdgRegistryStore::valueFile(const std::string& subKey, const std::string& name) const
{
    return keyFolder(subKey) / ((name.empty() ? std::string("@") : folded(name)) + ".value");
}

std::vector<std::string> XdgRegistryStore::keyParts(const std::string& subKey)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= subKey.size()) {
        std::size_t end = subKey.find('\\', start);
        if (end == std::string::npos) end = subKey.size();
        if (end > start) parts.push_back(folded(subKey.substr(start, end - start)));
        start = end + 1;
    }
    return parts;
}

bool XdgRegistryStore::isRunOrAbove(const std::vector<std::string>& parts)
{
    return parts.size() <= kRunKey.size() && std::equal(parts.begin(), parts.end(), kRunKey.begin());
}

bool XdgRegistryStore::isStartupValue(const std::string& subKey, const std::string& name)
{
    return folded(name) == kStartupValue && keyParts(subKey) == kRunKey;
}

} // namespace nimbrel
