#include "ModReg.h"

#include "Settings.h"
#include "core/system/RegistryStore.h"
#include "core/base/Trap.h"

namespace nimbrel {

void ModReg::regSetValue(const std::string& subKey, const std::string& valueName, const std::string& data)
{
    const Trap trap(reporter_, "modReg,regSetValue");
    trap([&] { store_.setValue(subKey, valueName, data); });
}

std::string ModReg::regGetValue(const std::string& subKey, const std::string& valueName)
{
    const Trap trap(reporter_, "modReg,regGetValue");
    std::string result;
    trap([&] {
        if (!store_.keyExists(subKey)) return;
        const std::string blanks(255, ' ');
        const std::optional<std::string> value = store_.queryValue(subKey, valueName);
        // The buffer holds 254 characters and the terminator; a longer value
        // does not fit and leaves the buffer as it was.
        result = !value || value->size() > 254 ? blanks : *value;
    });
    return result;
}

void ModReg::deleteValue(const std::string& valueName, const std::string& subKey)
{
    const Trap trap(reporter_, "modReg,deleteValue");
    trap([&] { store_.deleteValue(subKey, valueName); });
}

std::string ModReg::regReadOrCreate(const std::string& subKey, const std::string& valueName,
                                    const std::string& defaultValue)
{
    std::string result;
    Trap::silent()([&] {
        if (!store_.createKey(subKey)) return;
        const std::optional<std::string> value = store_.queryValue(subKey, valueName);
        if (!value) {
            store_.setValue(subKey, valueName, defaultValue);
            return;
        }
        result = stripNull(*value);
    });
    return result;
}

} // namespace nimbrel
