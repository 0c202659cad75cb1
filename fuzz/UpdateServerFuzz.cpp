// What the vendor's server sends: the headers of an answer (its status line, its Content-Length), and the version
// text, against any installed version text. Whatever it is, the answer is a number or an Overflow (6).

#include "core/base/RuntimeError.h"
#include "core/base/Text.h"
#include "online/UpdateServer.h"
#include "settings/ModReg.h"
#include "support/Fakes.h"
#include "support/UpdateFakes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace nimbrel;
using namespace nimbrel::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string installed = input.ConsumeRandomLengthString(32);
    const std::string headers = input.ConsumeRandomLengthString(512);
    const std::string body = input.ConsumeRemainingBytesAsString();

    ServedTransfer transfer;
    transfer.resources["http://vendor/nbl.txt"] = {headers, body};
    FakeEventLoop events;
    FakePackageTrust trust;
    FakeProgramFiles files;
    FakeProgramDirectory directory;
    FakeRegistryStore registry;
    RecordingReporter reporter;
    ModReg modReg(registry, reporter);
    UpdateServer server({transfer, events, trust, files, directory, modReg, [] { return true; }}, "http://vendor");

    try {
        const std::int32_t length = remoteLength(headers, body.size());
        const int status = statusCode(headers);
        if ((status < 200 || status > 299) && length != 0) std::abort();
        // Only a line of its own names the length, in any letter case.
        if (announcedLength(headers) &&
            findIgnoringCase("\r\n" + headers, "\r\ncontent-length:") == std::string::npos)
            std::abort();
    } catch (const RuntimeError& e) {
        if (e.number() != 6) std::abort();
    }
    // Whatever a signature's trusted comment says, a version it names is one a copy can hold.
    if (const std::optional<int> version = signedVersion(body); version && (*version < 0 || *version > 32767))
        std::abort();
    try {
        const bool newer = server.isNewerVersion(installed);
        if (newer && versionNumber(server.pendingVersion()) <= versionNumber(installed)) std::abort();
    } catch (const RuntimeError& e) {
        if (e.number() != 6) std::abort();
    }
    return 0;
}
