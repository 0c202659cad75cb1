#pragma once

#include "core/system/HttpTransfer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace nimbrel {

class EventLoop;
class ModReg;
class PackageTrust;
class ProgramDirectory;
class ProgramFiles;

// How much each download of the update may take: the version file and the
// signature are a few bytes, the package a program.
struct UpdateLimits {
    TransferLimits smallFile{4 * 1024, std::chrono::seconds(20)};
    TransferLimits package{64 * 1024 * 1024, std::chrono::minutes(10)};
};

// What the vendor's server offers: the number of the latest version and the
// program that carries it, fetched through a transfer object of the update's own.
// Every download is bounded in size and time, and the package goes straight to
// a file beside the program. It is kept there as "nbl" only when it arrived
// whole, is signed by the vendor's key for the version announced, and starts
// on this machine.
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

    // How a download ended: the package kept, or the step at which it stopped.
    enum class Download { Kept, Cancelled, TransferFailed, SignatureRefused, VersionRefused, SaveFailed, DoesNotStart };

    // The resources on the server and the program file the package is saved as.
    static constexpr const char* versionPath = "/nbl.txt";
    static constexpr const char* packagePath = "/nblupdate.exe";
    static constexpr const char* signatureSuffix = ".minisig";
    static constexpr const char* downloadedName = "nbl";
    static constexpr const char* programKey = "Software\\Microsoft\\Nimbrel";

    // vendorServer is the base address of the vendor's web site, without a trailing "/".
    UpdateServer(Services services, std::string vendorServer, UpdateLimits limits = {});

    // True when the server's number is above the installed one (local), read from one request of the version
    // file; a lower server number changes nothing. Overflow (6) for a number outside 16 bits.
    bool isNewerVersion(const std::string& local);
    // One attempt to fetch the package and keep it as "nbl".
    Download downloadPackage();
    // Ends the transfer in progress at once; the check or download under way stops without keeping anything.
    void cancel();
    bool cancelled() const { return cancelled_; }

    // The server's version number, once isNewerVersion has read it.
    const std::string& pendingVersion() const { return pendingVersion_; }
    // The SHA-256 of the package kept as "nbl", once downloadPackage has kept it.
    const std::string& packageDigest() const { return packageDigest_; }
    std::string downloadedPath();

private:
    // The body of a small file (bounded); nothing when it did not come whole.
    std::optional<std::string> fetchSmall(const std::string& url);
    Download verify(const std::vector<std::uint8_t>& package, const std::string& signature);
    // Lets the window's events run (a click on Cancel among them); true when the update was cancelled.
    bool cancelledNow();

    Services services_;
    std::string vendorServer_;
    UpdateLimits limits_;
    std::string pendingVersion_;
    int installedVersion_ = 0;
    std::string packageDigest_;
    bool cancelled_ = false;
};

// The leading number of a version text, rounded to a whole number; Overflow (6)
// outside -32768 to 32767.
int versionNumber(const std::string& text);

// The version a signature's trusted comment names when it is exactly "Nimbrel <version>, file:nblupdate.exe",
// as scripts/sign-update writes it (blanks after it do not count); nothing otherwise.
std::optional<int> signedVersion(const std::string& trustedComment);

// The status code of the headers' status line ("HTTP/1.1 404 Not Found" gives 404); 0 without one.
int statusCode(const std::string& headers);

// The value of the Content-Length header line (the name in any letter case); nothing without one. Overflow (6)
// past 32 bits.
std::optional<std::int32_t> announcedLength(const std::string& headers);

// The length of a resource as its answer gives it: 0 unless the status line says it was found; the length
// announced, or without one the bytes the body brought to its end.
std::int32_t remoteLength(const std::string& headers, std::size_t received);

} // namespace nimbrel
