#include "ParsedProfile.h"

#include "IniText.h"

namespace nimbrel::ini {

const std::optional<ParsedProfile::Keys>& ParsedProfile::section(std::string_view name)
{
    const std::string_view wanted = lookupName(name);
    const auto [at, added] = sections_.try_emplace(foldedName(wanted));
    if (!added) return at->second;
    Keys keys;
    const bool found =
        walkSection(text_, wanted, [&keys](const KeyLine& line) {
            keys.try_emplace(foldedName(line.name), line.value); // a later line of the same name is read past
            return true;
        }).has_value();
    if (found) at->second = std::move(keys);
    return at->second;
}

std::optional<std::string_view> ParsedProfile::stored(std::string_view sectionName, std::string_view key)
{
    const std::optional<Keys>& keys = section(sectionName);
    if (!keys) return std::nullopt;
    const auto found = keys->find(foldedName(lookupName(key)));
    return found == keys->end() ? std::nullopt : found->second;
}

std::string ParsedProfile::read(std::string_view section, std::string_view key, std::string_view defaultValue)
{
    return readResult(stored(section, key), defaultValue);
}

bool ParsedProfile::holds(std::string_view section, std::string_view key, std::string_view value)
{
    const std::optional<std::string_view> current = stored(section, key);
    return current && *current == writtenValue(value);
}

} // namespace nimbrel::ini
