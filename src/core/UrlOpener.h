#pragma once

#include <string>

namespace nimbrel {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Asks the desktop to open the address in the user's browser; the outcome is not reported.
    virtual void openUrl(const std::string& url) = 0;
};

} // namespace nimbrel
