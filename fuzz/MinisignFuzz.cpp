// The update's key and signature files: a public key in any text, and any signature file checked against it
// and against a key of the vendor's form over a known package. The key's own signature (seeds/minisign) lets
// the fuzzer reach the checks behind the parsing.

#include "platform/common/MinisignKey.h"
#include "platform/linux/SodiumCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace nimbrel;

namespace {

constexpr const char* knownKey = "untrusted comment: minisign public key 203D9A3A66DDD9B0\n"
                                 "RWSw2d1mOpo9IEz2FSirVpo3jpjD9Av1rtGwWSgov4WMVUSqGwslWSwA\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const MinisignKey vendor = *MinisignKey::parse(knownKey);
    static const std::vector<std::uint8_t> package{'h', 'e', 'l', 'l', 'o', '\n'};
    FuzzedDataProvider input(data, size);
    const std::string keyText = input.ConsumeRandomLengthString(256);
    const std::string signature = input.ConsumeRemainingBytesAsString();

    if (const auto key = MinisignKey::parse(keyText)) key->verifiedComment(package, signature, sodiumCheck());
    vendor.verifiedComment(package, signature, sodiumCheck());
    // The package changed by a byte is refused whatever the signature file.
    if (vendor.verifiedComment({'h', 'e', 'l', 'l', 'o', '!'}, signature, sodiumCheck())) std::abort();
    return 0;
}
