#include "StarterHandOver.h"

#include "core/system/ProcessStarter.h"
#include "core/base/RuntimeError.h"

namespace nimbrel {

StarterHandOver::StarterHandOver(ProcessStarter& starter, std::function<void()> letGo)
    : starter_(starter), letGo_(std::move(letGo))
{
}

bool StarterHandOver::startInstead(const std::string& programPath)
{
    letGo_();
    try {
        starter_.start(programPath);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

} // namespace nimbrel
