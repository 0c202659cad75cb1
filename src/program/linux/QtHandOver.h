#pragma once

#include "core/system/HandOver.h"

namespace nimbrel::program {

class SingleInstanceGuard;

// Starts another program file in this one's place. The guard is let go first:
// the program started must find no copy running, or it would ask this one to
// come forward and end, and an update would stop half way.
class QtHandOver : public HandOver {
public:
    explicit QtHandOver(SingleInstanceGuard& guard) : guard_(guard) {}
    bool startInstead(const std::string& programPath) override;

private:
    SingleInstanceGuard& guard_;
};

} // namespace nimbrel::program
