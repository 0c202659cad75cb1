#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nimbrel {

// The performance statistics that the 95/98/Me family publishes as registry
// values under its dynamic-data root ("PerfStats\StatData").
class DynamicData {
public:
    virtual ~DynamicData() = default;
    // Opens the key; false when it cannot be opened.
    virtual bool openKey(const std::string& subKey) = 0;
    // Reads a 32-bit value of an open key; nothing when the query fails.
    virtual std::optional<std::uint32_t> queryValue(const std::string& subKey, const std::string& name) = 0;
    // Closes the key.
    virtual void closeKey(const std::string& subKey) = 0;
};

} // namespace nimbrel
