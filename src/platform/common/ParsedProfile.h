#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace nimbrel::ini {

// The sections of a profile that were asked for, each read from the text once and kept by name with its keys,
// so later lookups in it do not go over the text again. The text itself is not kept: a large file costs what
// the program reads of it, not its size.
class ParsedProfile {
public:
    // Whether section has been read.
    bool has(std::string_view section) const;
    // Reads section from the text (the first section of that name, as the lookup finds it).
    void add(std::string_view text, std::string_view section);

    // What a read of key in section (one that has been read) gives, as ini::readValue gives it from the text.
    std::string read(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // Whether a write of value to key in section (one that has been read) would leave the text as it is: the
    // key is there with that value.
    bool holds(std::string_view section, std::string_view key, std::string_view value) const;

private:
    // The first line of each name in the section; the value is nothing for a line without "=".
    using Keys = std::unordered_map<std::string, std::optional<std::string>>;
    // The stored value of a key; nothing when the key is absent or has no "=".
    std::optional<std::string_view> stored(std::string_view section, std::string_view key) const;

    // By folded name; nothing for a section the text does not have.
    std::unordered_map<std::string, std::optional<Keys>> sections_;
};

} // namespace nimbrel::ini
