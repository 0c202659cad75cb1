#pragma once

#include <string>

namespace nimbrel {

class ErrorReporter;
class RegistryStore;

// The small registry helpers. The store stands for HKEY_LOCAL_MACHINE, the
// only hive the program uses. Failures of the store are not errors: nothing
// is reported and the callers go on.
class ModReg {
public:
    ModReg(RegistryStore& store, ErrorReporter& reporter) : store_(store), reporter_(reporter) {}

    void regSetValue(const std::string& subKey, const std::string& valueName, const std::string& data);
    // The stored text; 255 blanks when the value is absent or longer than 254
    // characters, empty text when the key is absent.
    std::string regGetValue(const std::string& subKey, const std::string& valueName);
    // Note the order: the value name comes before the key path.
    void deleteValue(const std::string& valueName, const std::string& subKey);
    // Opens the key, creating it when missing; when the value cannot be read,
    // stores the default and returns empty text, otherwise the value up to its first NUL.
    std::string regReadOrCreate(const std::string& subKey, const std::string& valueName,
                                const std::string& defaultValue);

private:
    RegistryStore& store_;
    ErrorReporter& reporter_;
};

} // namespace nimbrel
