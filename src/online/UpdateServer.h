#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

class EventLoop;
class HttpTransfer;
class ModReg;
class PackageTrust;
class ProgramDirectory;
class ProgramFiles;

// What the vendor's server offers: the number of the latest version and the
// program that carries it, fetched through the window's shared transfer object.
// A package is saved beside the program as "nbl" only when it arrived whole, is
// signed by the vendor's key and runs on this machine.
class UpdateServer {
public:
    struct Services {
        HttpTransfer& transfer;
        EventLoop& events;
        PackageTrust& trust;
        ProgramFiles& files;
        ProgramDirectory& directory;
        ModReg& registry;
        std::function<bool()> checkConnection;
    };

    // The resources on the server and the program file the package is saved as.
    static constexpr const char* versionPath = "/nbl.txt";
    static constexpr const char* packagePath = "/nblupdate.exe";
    static constexpr const char* signatureSuffix = ".minisig";
    static constexpr const char* downloadedName = "nbl";
    static constexpr const char* programKey = "Software\\Microsoft\\Nimbrel";

    // vendorServer is the base address of the vendor's web site, without a trailing "/".
    UpdateServer(Services services, std::string vendorServer);

    // The Content-Length the server announces for the resource; 0 when its
    // headers mention "404". Overflow (6) past 32 bits.
    std::int32_t getRemoteLength(const std::string& url, bool asBytes);
    // True when the server's number is above the installed one (local); a lower
    // server number is stored as "ver". Overflow (6) for a number outside 16 bits.
    bool isNewerVersion(const std::string& local);
    // One attempt to fetch the package; true when it is saved as "nbl".
    bool downloadPackage();

    // The server's version number, once isNewerVersion has read it.
    const std::string& pendingVersion() const { return pendingVersion_; }
    std::string downloadedPath();

private:
    std::string fetchText(const std::string& url);
    std::vector<std::uint8_t> fetchBytes(const std::string& url);

    Services services_;
    std::string vendorServer_;
    std::string pendingVersion_;
};

// The leading number of a version text, rounded to a whole number; Overflow (6)
// outside -32768 to 32767.
int versionNumber(const std::string& text);

} // namespace nimbrel
