#pragma once

#include <string>

namespace nimbrel {

// Passes the running program's place on to another program file.
class HandOver {
public:
    virtual ~HandOver() = default;
    // Lets go of the single-instance claim, then starts the program file as a process of
    // its own; false when it could not be started.
    virtual bool startInstead(const std::string& programPath) = 0;
};

} // namespace nimbrel
