#include "UpdateServer.h"

#include "core/EventLoop.h"
#include "core/HttpTransfer.h"
#include "core/Numbers.h"
#include "core/PackageTrust.h"
#include "core/ProgramDirectory.h"
#include "core/ProgramFiles.h"
#include "core/RuntimeError.h"
#include "settings/ModReg.h"

#include <cstdlib>

namespace nimbrel {

namespace {

constexpr std::size_t smallestPackage = 1000;
// The received size, less one, may differ from the announced length by up to this much.
constexpr std::int64_t lengthSlack = 10;

std::string trimmedBlanks(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

int versionNumber(const std::string& text)
{
    const double number = roundHalfEven(leadingNumber(text));
    if (number < -32768.0 || number > 32767.0) throw errors::overflow();
    return static_cast<int>(number);
}

UpdateServer::UpdateServer(Services services, std::string vendorServer)
    : services_(std::move(services)), vendorServer_(std::move(vendorServer))
{
}

std::string UpdateServer::downloadedPath()
{
    return services_.directory.path() + "/" + downloadedName + services_.files.executableSuffix();
}

std::string UpdateServer::fetchText(const std::string& url)
{
    services_.transfer.cancel();
    std::string text = services_.transfer.openUrlText(url);
    while (services_.transfer.stillExecuting()) services_.events.doEvents();
    return text;
}

std::vector<std::uint8_t> UpdateServer::fetchBytes(const std::string& url)
{
    services_.transfer.cancel();
    std::vector<std::uint8_t> bytes = services_.transfer.openUrlBytes(url);
    while (services_.transfer.stillExecuting()) services_.events.doEvents();
    return bytes;
}

std::int32_t UpdateServer::getRemoteLength(const std::string& url, bool asBytes)
{
    if (asBytes) {
        fetchBytes(url);
    } else {
        fetchText(url);
    }
    const std::string headers = services_.transfer.responseHeaders();
    if (headers.find("404") != std::string::npos) return 0;

    const std::string label = "Content-Length:";
    const std::size_t at = headers.find(label);
    // Without the label the text examined starts at the 15th character, where
    // a status line has no number.
    const std::size_t start = at == std::string::npos ? 14 : at + label.size();
    if (start >= headers.size()) return 0;
    const std::string value = headers.substr(start, headers.find("\r\n", start) - start);
    return toInt32(leadingNumber(trimmedBlanks(value)));
}

bool UpdateServer::isNewerVersion(const std::string& local)
{
    if (!services_.checkConnection()) return false;
    const std::string url = vendorServer_ + versionPath;
    if (getRemoteLength(url, false) <= 0) return false;
    const int remote = versionNumber(fetchText(url));
    const int installed = versionNumber(local);
    if (installed < remote) {
        pendingVersion_ = std::to_string(remote);
        return true;
    }
    if (remote < installed) {
        pendingVersion_ = std::to_string(remote);
        services_.registry.regSetValue(programKey, "ver", pendingVersion_);
    }
    return false;
}

bool UpdateServer::downloadPackage()
{
    if (!services_.checkConnection()) return false;
    const std::string url = vendorServer_ + packagePath;
    const std::int32_t announced = getRemoteLength(url, true);
    if (announced < 1) return false;
    const std::vector<std::uint8_t> package = fetchBytes(url);
    if (package.size() <= smallestPackage) return false;
    if (std::llabs(static_cast<std::int64_t>(package.size()) - 1 - announced) > lengthSlack) return false;

    // Nothing is saved, let alone run, that the vendor did not sign for this machine.
    const std::string signature = fetchText(url + signatureSuffix);
    if (!services_.trust.signedByVendor(package, signature)) return false;
    if (!services_.trust.runsHere(package)) return false;

    const bool saved = services_.files.saveProgram(downloadedPath(), package);
    services_.events.doEvents();
    return saved;
}

} // namespace nimbrel
