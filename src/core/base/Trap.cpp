#include "core/base/Trap.h"

#include "core/base/RuntimeError.h"

#include <exception>
#include <new>

namespace nimbrel {

bool Trap::operator()(const std::function<void()>& step) const { return !failure(step); }

std::optional<std::string> Trap::failure(const std::function<void()>& step) const
{
    try {
        step();
        return std::nullopt;
    } catch (const RuntimeError& e) {
        report(e.number(), e.description());
        return e.description();
    } catch (const std::bad_alloc&) {
        const RuntimeError e = errors::outOfMemory();
        report(e.number(), e.description());
        return e.description();
    } catch (const std::exception& e) {
        // Anything else that escapes a step is a fault of ours; 51 is the
        // classic "Internal error".
        report(51, e.what());
        return std::string(e.what());
    }
}

void Trap::report(int number, const std::string& description) const
{
    if (reporter_ == nullptr) return;
    try {
        reporter_->reportError(tag_, number, description);
    } catch (...) {
        // A reporter that fails must not take the procedure down with it.
    }
}

} // namespace nimbrel
