#pragma once

#include <memory>
#include <string>
#include <vector>

namespace nimbrel {
class ConnectivityProbe;
class HttpTransfer;
class VerifiedLibrary;
} // namespace nimbrel

namespace nimbrel::program {

// The program's network client lives in a module of its own, with QtNetwork
// and what that brings in (a megabyte and a half of memory, and the time to
// link it at every start): most runs never send a request, and those that
// do load it at the first one. It is looked for only where the program was
// installed with it: beside the executable, then in the library folder beside
// the executable's folder. Only the module built with this program is loaded:
// its SHA-256, recorded when the program was built, must match the file's
// before the file is opened. When no place holds that module nothing is
// made, and the requests fail as without a network.
class NetworkModule {
public:
    // The module looked for at these paths, in this order, with this SHA-256.
    NetworkModule(std::vector<std::string> places, std::string digest);
    ~NetworkModule();
    NetworkModule(const NetworkModule&) = delete;
    NetworkModule& operator=(const NetworkModule&) = delete;

    // Where the program was installed with its module, from the executable's own folder.
    static std::vector<std::string> installedPlaces();

    // True when the module is loaded, or can be now.
    bool available();
    std::unique_ptr<HttpTransfer> makeTransfer();
    std::unique_ptr<ConnectivityProbe> makeProbe(const std::string& pageUrl);

private:
    std::vector<std::string> places_;
    std::string digest_;
    bool tried_ = false;
    std::unique_ptr<VerifiedLibrary> library_;
    HttpTransfer* (*makeTransfer_)() = nullptr;
    ConnectivityProbe* (*makeProbe_)(const char*) = nullptr;
};

// The SHA-256 of the network module, recorded when the program was built (defined by the build, beside main()).
const char* builtNetworkModuleDigest();

} // namespace nimbrel::program
