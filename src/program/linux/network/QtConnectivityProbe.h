#pragma once

#include "core/system/ConnectivityProbe.h"
#include "program/linux/network/QtHttpTransfer.h"

#include <chrono>
#include <string>

namespace nimbrel::program {

// Asks a well-known page for itself with a transfer object of its own, apart
// from the window's, and waits a few seconds at most. Any status line is an
// answer, a redirection among them (following it would only test another
// server); the page itself is not read.
class QtConnectivityProbe : public ConnectivityProbe {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{5000};

    explicit QtConnectivityProbe(std::string pageUrl, std::chrono::milliseconds timeout = defaultTimeout);

    bool pageReachable() override;

private:
    std::string pageUrl_;
    std::chrono::milliseconds timeout_;
    QtHttpTransfer transfer_;
};

} // namespace nimbrel::program
