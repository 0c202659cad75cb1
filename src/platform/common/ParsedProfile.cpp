#include "ParsedProfile.h"

#include "IniText.h"

namespace nimbrel::ini {

bool ParsedProfile::has(std::string_view section) const
{
    return sections_.contains(foldedName(lookupName(section)));
}

void ParsedProfile::add(std::string_view text, std::string_view section)
{
    const std::string_view wanted = lookupName(section);
    Keys keys;
    const auto start = walkSection(text, wanted, [&keys](const KeyLine& line) {
        std::string name = foldedName(line.name);
        // A later line of the same name is read past.
        if (!keys.contains(name))
            keys.emplace(std::move(name), line.value ? std::optional<std::string>(*line.value) : std::nullopt);
        return true;
    });
    sections_[foldedName(wanted)] = start ? std::optional<Keys>(std::move(keys)) : std::nullopt;
}

std::optional<std::string_view> ParsedProfile::stored(std::string_view section, std::string_view key) const
{
    const auto keys = sections_.find(foldedName(lookupName(section)));
    if (keys == sections_.end() || !keys->second) return std::nullopt;
    const auto found = keys->second->find(foldedName(lookupName(key)));
    if (found == keys->second->end() || !found->second) return std::nullopt;
    return *found->second;
}

std::string ParsedProfile::read(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    return readResult(stored(section, key), defaultValue);
}

bool ParsedProfile::holds(std::string_view section, std::string_view key, std::string_view value) const
{
    const std::optional<std::string_view> current = stored(section, key);
    return current && *current == writtenValue(value);
}

} // namespace nimbrel::ini
