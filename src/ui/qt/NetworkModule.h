#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

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
// loaded nothing is made, and the requests fail as without a network; nor is a
// module built against another interface than this program's (one left from
// another version) used.
class NetworkModule {
public:
    NetworkModule() = default;
    // The module looked for at these paths only, in this order.
    explicit NetworkModule(std::vector<std::string> places) : places_(std::move(places)) {}

    std::unique_ptr<HttpTransfer> makeTransfer();
    std::unique_ptr<ConnectivityProbe> makeProbe(const std::string& pageUrl);

private:
    bool load();

    std::vector<std::string> places_;
    bool tried_ = false;
    HttpTransfer* (*makeTransfer_)() = nullptr;
    ConnectivityProbe* (*makeProbe_)(const char*) = nullptr;
};

} // namespace nimbrel::view
