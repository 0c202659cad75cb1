#pragma once

#include <string>

namespace nimbrel {

// Where trapped run-time errors go. Never shows anything to the user.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // Hands one trapped error, with the tag of the procedure that trapped it, to the reporter.
    virtual void reportError(const std::string& tag, int number, const std::string& description) = 0;
};

} // namespace nimbrel
