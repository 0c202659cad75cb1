#include "StarterHandOver.h"

#include "core/ProcessStarter.h"
#include "core/RuntimeError.h"

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
