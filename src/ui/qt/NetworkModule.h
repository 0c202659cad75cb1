#pragma once

#include <memory>
#include <string>

namespace nimbrel {
class ConnectivityProbe;
class HttpTransfer;
} // namespace nimbrel

namespace nimbrel::view {

// The program's network client lives in a module of its own, with QtNetwork
// and what that brings in (a megabyte and a half of memory, and the time to
// link it at every start): most runs never send a request, and those that
// do load it at the first one. It is looked for beside the executable, then
// where the build put it, then where it is installed. When it cannot be
// loaded nothing is made, and the requests fail as without a network.
class NetworkModule {
public:
    std::unique_ptr<HttpTransfer> makeTransfer();
    std::unique_ptr<ConnectivityProbe> makeProbe(const std::string& pageUrl);

private:
    bool load();

    bool tried_ = false;
    HttpTransfer* (*makeTransfer_)() = nullptr;
    ConnectivityProbe* (*makeProbe_)(const char*) = nullptr;
};

} // namespace nimbrel::view
