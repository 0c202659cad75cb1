#include "ui/win32/UserAction.h"

#include <cstdio>
#include <exception>

namespace nimbrel::win32 {

void runUserAction(const std::function<void()>& action) noexcept
{
    const char* what = "unknown error";
    try {
        action();
        return;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    std::fprintf(stderr, "Nimbrel: an action of the window failed: %s\n", what);
}

} // namespace nimbrel::win32
