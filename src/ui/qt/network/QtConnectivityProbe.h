#pragma once

#include "core/ConnectivityProbe.h"

#include <chrono>
#include <memory>
#include <string>

class QNetworkAccessManager;

namespace nimbrel::view {

// Asks a well-known page for itself with a network client of its own, apart
// from the window's shared transfer object, and waits a few seconds at most.
class QtConnectivityProbe : public ConnectivityProbe {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{5000};

    explicit QtConnectivityProbe(std::string pageUrl, std::chrono::milliseconds timeout = defaultTimeout);
    ~QtConnectivityProbe() override;
    QtConnectivityProbe(const QtConnectivityProbe&) = delete;
    QtConnectivityProbe& operator=(const QtConnectivityProbe&) = delete;

    bool pageReachable() override;

private:
    std::string pageUrl_;
    std::chrono::milliseconds timeout_;
    std::unique_ptr<QNetworkAccessManager> manager_;
};

} // namespace nimbrel::view
