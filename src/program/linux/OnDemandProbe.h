#pragma once

#include "core/system/ConnectivityProbe.h"

#include <memory>
#include <string>

namespace nimbrel::program {

class NetworkModule;

// The connectivity probe, made by the network module at the first probe.
class OnDemandProbe : public ConnectivityProbe {
public:
    // The module must outlive the probe.
    OnDemandProbe(NetworkModule& module, std::string pageUrl) : module_(module), pageUrl_(std::move(pageUrl)) {}

    // False when the module cannot be loaded: no network client, no Internet.
    bool pageReachable() override;

private:
    NetworkModule& module_;
    std::string pageUrl_;
    std::unique_ptr<ConnectivityProbe> made_;
};

} // namespace nimbrel::program
