#pragma once

#include <functional>
#include <string>

namespace nimbrel {

// Opens web addresses with the desktop's own handler.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Asks the desktop to open the address in the user's browser; the outcome is not reported.
    virtual void openUrl(const std::string& url) = 0;
    // The same for an address the user asked for: failed runs, on the user-interface thread and possibly
    // later, when the desktop could not open it (no browser set, no handler at all).
    virtual void openUrl(const std::string& url, std::function<void()> failed) = 0;
};

} // namespace nimbrel
