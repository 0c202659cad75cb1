#pragma once

#include "core/system/HandOver.h"

#include <functional>
#include <string>

namespace nimbrel {

class ProcessStarter;

// Hands the running program's place over through the system's process starter: the single-instance claim is let
// go first, so that the program started can make its own.
class StarterHandOver : public HandOver {
public:
    StarterHandOver(ProcessStarter& starter, std::function<void()> letGo);
    bool startInstead(const std::string& programPath) override;

private:
    ProcessStarter& starter_;
    std::function<void()> letGo_;
};

} // namespace nimbrel
