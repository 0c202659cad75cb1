#pragma once

namespace nimbrel {

class ProgramExit {
public:
    virtual ~ProgramExit() = default;
    // Ends the program at once: no further event of any window is handled.
    virtual void endNow() = 0;
};

} // namespace nimbrel
