#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace nimbrel::ini {

// The text of a profile with its sections looked up once: the first time a section is asked for, its key lines
// are read in one pass and kept by name, so later lookups in it do not go over the text again. Only the sections
// asked for are kept; a large file pays for what the program reads, not for the rest.
class ParsedProfile {
public:
    explicit ParsedProfile(std::string text) : text_(std::move(text)) {}
    ParsedProfile(const ParsedProfile&) = delete;
    ParsedProfile& operator=(const ParsedProfile&) = delete;

    const std::string& text() const { return text_; }

    // What a read of key in section gives, as ini::readValue would give it from the text.
    std::string read(std::string_view section, std::string_view key, std::string_view defaultValue);

    // Whether a write of value to key in section would leave the text as it is: the key is there with that value.
    bool holds(std::string_view section, std::string_view key, std::string_view value);

private:
    // The first line of each name in the section; the value is nothing for a line without "=".
    using Keys = std::unordered_map<std::string, std::optional<std::string_view>>;
    // The keys of the first section of that name; nothing when the text has no such section.
    const std::optional<Keys>& section(std::string_view name);
    // The stored value of a key; nothing when the key is absent or has no "=".
    std::optional<std::string_view> stored(std::string_view section, std::string_view key);

    std::string text_;
    std::unordered_map<std::string, std::optional<Keys>> sections_; // by folded name
};

} // namespace nimbrel::ini
