#pragma once

#include "core/system/RegistryStore.h"

#include <windows.h>

#include <optional>
#include <string>

namespace nimbrel {

// The program's keys in the real registry, through RegCreateKeyExW, RegQueryValueExW, RegSetValueExW and
// RegDeleteValueW. They live under HKEY_LOCAL_MACHINE, which an ordinary user may read but not write on every
// Windows since Vista; an update run by such a user would never see its phases advance. So:
//   - a write goes to HKEY_LOCAL_MACHINE where it may (and then removes the user's own copy of the value), else
//     to the same key under HKEY_CURRENT_USER;
//   - a read takes the user's copy first, as the newer one, then the machine's.
// Start with Windows, the value under Software\Microsoft\Windows\CurrentVersion\Run, is the user's: it lives
// under HKEY_CURRENT_USER alone and needs no administrator. Values are text (REG_SZ), cut at their first NUL.
class RegistryHives : public RegistryStore {
public:
    // The two hives; a test passes keys of its own in their place.
    explicit RegistryHives(HKEY machine = HKEY_LOCAL_MACHINE, HKEY user = HKEY_CURRENT_USER);

    bool keyExists(const std::string& subKey) override;
    bool createKey(const std::string& subKey) override;
    std::optional<std::string> queryValue(const std::string& subKey, const std::string& name) override;
    bool setValue(const std::string& subKey, const std::string& name, const std::string& data) override;
    bool deleteValue(const std::string& subKey, const std::string& name) override;

private:
    // The hive written first: the user's for the Run key, else the machine's.
    HKEY firstHive(const std::string& subKey) const;

    HKEY machine_;
    HKEY user_;
};

} // namespace nimbrel
