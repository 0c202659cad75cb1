#include "UpdateServer.h"

#include "core/system/EventLoop.h"
#include "core/base/Numbers.h"
#include "core/system/PackageTrust.h"
#include "core/system/ProgramDirectory.h"
#include "core/system/ProgramFiles.h"
#include "core/base/RuntimeError.h"
#include "core/base/Text.h"
#include "settings/ModReg.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace nimbrel {

namespace {

// The version number of this build (the project's major version).
constexpr int builtVersion = NIMBREL_VERSION_MAJOR;

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

std::optional<int> signedVersion(const std::string& trustedComment)
{
    const std::string label = "Nimbrel ";
    const std::string file = std::string(", file:") + (UpdateServer::packagePath + 1);
    std::string comment = trustedComment;
    while (!comment.empty() && (comment.back() == ' ' || comment.back() == '\t')) comment.pop_back();
    if (comment.rfind(label, 0) != 0) return std::nullopt;
    std::size_t end = label.size();
    int version = 0;
    while (end < comment.size() && std::isdigit(static_cast<unsigned char>(comment[end])) &&
           end - label.size() < 5) {
        version = version * 10 + (comment[end] - '0');
        ++end;
    }
    if (end == label.size() || version > 32767) return std::nullopt;
    // The signature is for this file and no other: "Nimbrel 6" alone, or another file's name, is not.
    if (comment.compare(end, std::string::npos, file) != 0) return std::nullopt;
    return version;
}

int statusCode(const std::string& headers)
{
    const std::string line = headers.substr(0, headers.find("\r\n"));
    if (line.rfind("HTTP/", 0) != 0) return 0;
    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos || line.size() < blank + 4) return 0;
    int code = 0;
    for (std::size_t at = blank + 1; at < blank + 4; ++at) {
        if (!std::isdigit(static_cast<unsigned char>(line[at]))) return 0;
        code = code * 10 + (line[at] - '0');
    }
    if (line.size() > blank + 4 && line[blank + 4] != ' ') return 0;
    return code;
}

std::optional<std::int32_t> announcedLength(const std::string& headers)
{
    // Header names are matched without regard to case (HTTP/1.1 servers often send "content-length"), and
    // only at the start of a line: another header's value may mention the name.
    const std::string label = "\r\ncontent-length:";
    const std::size_t at = findIgnoringCase("\r\n" + headers, label);
    if (at == std::string::npos) return std::nullopt;
    const std::size_t start = at + label.size() - 2;
    const std::string value = headers.substr(start, headers.find("\r\n", start) - start);
    return toInt32(leadingNumber(trimmedBlanks(value)));
}

std::int32_t remoteLength(const std::string& headers, std::size_t received)
{
    const int status = statusCode(headers);
    if (status < 200 || status > 299) return 0;
    if (const std::optional<std::int32_t> announced = announcedLength(headers)) return *announced;
    return toInt32(static_cast<double>(received));
}

UpdateServer::UpdateServer(Services services, std::string vendorServer, UpdateLimits limits)
    : services_(std::move(services)), vendorServer_(std::move(vendorServer)), limits_(limits)
{
}

std::string UpdateServer::downloadedPath()
{
    return services_.directory.path() + "/" + downloadedName + services_.files.executableSuffix();
}

void UpdateServer::cancel()
{
    cancelled_ = true;
    services_.transfer.cancel();
}

std::optional<std::string> UpdateServer::fetchSmall(const std::string& url)
{
    services_.transfer.cancel();
    std::string text;
    const bool whole = services_.transfer.openUrlInto(url, limits_.smallFile, [&text](const std::uint8_t* bytes,
                                                                                       std::size_t size) {
        text.append(reinterpret_cast<const char*>(bytes), size);
        return true;
    });
    while (services_.transfer.stillExecuting()) services_.events.doEvents();
    if (!whole) return std::nullopt;
    return text;
}

bool UpdateServer::isNewerVersion(const std::string& local)
{
    cancelled_ = false;
    if (!services_.checkConnection()) return false;
    // One request gives the file's length and its number: a file missing, empty or not whole is no update.
    const std::optional<std::string> text = fetchSmall(vendorServer_ + versionPath);
    if (cancelled_ || !text || remoteLength(services_.transfer.responseHeaders(), text->size()) <= 0) return false;
    const int remote = versionNumber(*text);
    // The version this program is never counts for less than the one it was built as, and a server's lower
    // number is never stored: either would open the way back to an older signed package.
    const int installed = std::max(versionNumber(local), builtVersion);
    installedVersion_ = installed;
    if (installed < remote) {
        pendingVersion_ = std::to_string(remote);
        return true;
    }
    return false;
}

UpdateServer::Download UpdateServer::downloadPackage()
{
    packageDigest_.clear();
    if (cancelled_) return Download::Cancelled;
    if (!services_.checkConnection()) return Download::TransferFailed;
    const std::string url = vendorServer_ + packagePath;

    // The package goes to a file beside the program as it arrives, never whole into memory.
    const std::unique_ptr<StagedProgram> staged = services_.files.stageProgram(downloadedPath());
    if (!staged) return Download::SaveFailed;
    bool unwritten = false;
    services_.transfer.cancel();
    const bool whole = services_.transfer.openUrlInto(url, limits_.package, [&](const std::uint8_t* bytes,
                                                                                 std::size_t size) {
        unwritten = !staged->write(bytes, size);
        return !unwritten;
    });
    while (services_.transfer.stillExecuting()) services_.events.doEvents();
    if (cancelled_) return Download::Cancelled;
    if (unwritten) return Download::SaveFailed;
    if (!whole) return Download::TransferFailed;
    // Without a length announced (a chunked answer), the body came to its end within the limits.
    const std::optional<std::int32_t> announced = announcedLength(services_.transfer.responseHeaders());
    const auto received = static_cast<std::int64_t>(staged->size());
    if (received <= static_cast<std::int64_t>(smallestPackage) ||
        (announced && std::llabs(received - 1 - *announced) > lengthSlack))
        return Download::TransferFailed;

    const std::optional<std::string> signature = fetchSmall(url + signatureSuffix);
    if (cancelled_) return Download::Cancelled;
    if (!signature) return Download::TransferFailed;

    // Each step from here lets a Cancel in first and honours it: nothing is kept after a Cancel. What is checked
    // is what was written to the disk; its digest, taken from the very bytes checked, is what every later use of
    // the file is compared with.
    if (cancelledNow()) return Download::Cancelled;
    std::string digest;
    {
        const std::optional<std::vector<std::uint8_t>> package = staged->writtenBytes();
        if (!package) return Download::SaveFailed;
        digest = staged->writtenDigest();
        const Download verified = verify(*package, *signature);
        if (verified != Download::Kept) return verified;
        if (cancelledNow()) return Download::Cancelled;
        // The bytes checked start on trial, not the file, which could have changed since.
        const bool starts = services_.trust.startsHere(*package);
        if (cancelledNow()) return Download::Cancelled;
        if (!starts) return Download::DoesNotStart;
    }
    // Kept only while the file still holds the bytes checked.
    if (digest.empty() || services_.files.digest(staged->path()) != digest || !staged->keep())
        return Download::SaveFailed;
    packageDigest_ = digest;
    return Download::Kept;
}

bool UpdateServer::cancelledNow()
{
    services_.events.doEvents();
    return cancelled_;
}

UpdateServer::Download UpdateServer::verify(const std::vector<std::uint8_t>& package, const std::string& signature)
{
    // Nothing is kept, let alone run, that the vendor did not sign for this machine.
    const std::optional<std::string> comment = services_.trust.signedByVendor(package, signature);
    if (!comment) return Download::SignatureRefused;
    // The version that counts is the signed one: an old signed package replayed under a new number is refused.
    const std::optional<int> version = signedVersion(*comment);
    if (!version || std::to_string(*version) != pendingVersion_ || *version <= installedVersion_)
        return Download::VersionRefused;
    if (!services_.trust.runsHere(package)) return Download::DoesNotStart;
    return Download::Kept;
}

} // namespace nimbrel
