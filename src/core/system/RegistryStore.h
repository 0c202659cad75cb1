#pragma once

#include <optional>
#include <string>

namespace nimbrel {

// A per-user store of named text values under keys with registry-style paths
// ("Software\Microsoft\Nimbrel"). Names and paths match without regard to case.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    // True when the key exists (can be opened).
    virtual bool keyExists(const std::string& subKey) = 0;
    // Creates the key and the keys above it when missing; false when it cannot.
    virtual bool createKey(const std::string& subKey) = 0;
    // The value's text; nothing when the key or the value is absent or unreadable.
    virtual std::optional<std::string> queryValue(const std::string& subKey, const std::string& name) = 0;
    // Stores the value under an existing key; false when the key is missing or the write fails.
    virtual bool setValue(const std::string& subKey, const std::string& name, const std::string& data) = 0;
    // Removes the value; false when the key or the value is missing.
    virtual bool deleteValue(const std::string& subKey, const std::string& name) = 0;
};

} // namespace nimbrel
