#pragma once

#include "core/system/ConnectivityProbe.h"

#include <chrono>
#include <string>

namespace nimbrel {

// Asks a well-known page for itself through a WinHTTP session of its own, apart from the window's shared
// transfer object, and waits a few seconds at most.
class WinHttpProbe : public ConnectivityProbe {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{5000};

    explicit WinHttpProbe(std::string pageUrl, std::chrono::milliseconds timeout = defaultTimeout);
    bool pageReachable() override;

private:
    std::string pageUrl_;
    std::chrono::milliseconds timeout_;
};

} // namespace nimbrel
