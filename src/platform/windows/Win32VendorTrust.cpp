#include "Win32VendorTrust.h"

#include "CngSignatureCheck.h"
#include "PeProgram.h"
#include "WholeFile.h"
#include "WideText.h"
#include "Win32TrialStart.h"

namespace nimbrel {

Win32VendorTrust::Win32VendorTrust(std::string builtInKey, std::string keyFile, std::function<bool()> keepWaiting)
    : MinisignTrust(std::move(builtInKey), std::move(keyFile), cngSignatureCheck()),
      keepWaiting_(std::move(keepWaiting))
{
}

bool Win32VendorTrust::runsHere(const std::vector<std::uint8_t>& package)
{
    return runsLikeProgram(package);
}

bool Win32VendorTrust::startsHere(const std::vector<std::uint8_t>& program) {
    return startsOnTrial(program, keepWaiting_);
}

std::optional<std::string> Win32VendorTrust::readKeyFile(const std::string& path)
{
    std::string text;
    if (wholefile::read(wide::fromUtf8(path), text) != wholefile::Load::Loaded) return std::nullopt;
    return text;
}

} // namespace nimbrel
