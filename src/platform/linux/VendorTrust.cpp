#include "VendorTrust.h"

#include "ConfigFiles.h"
#include "ElfProgram.h"
#include "SodiumCheck.h"
#include "TrialStart.h"

namespace nimbrel {

VendorTrust::VendorTrust(std::string builtInKey, std::string keyFile, std::string model,
                         std::function<bool()> keepWaiting)
    : MinisignTrust(std::move(builtInKey), std::move(keyFile), sodiumCheck()), model_(std::move(model)),
      keepWaiting_(std::move(keepWaiting))
{
}

bool VendorTrust::runsHere(const std::vector<std::uint8_t>& package)
{
    return runsLikeProgram(package, model_);
}

bool VendorTrust::startsHere(const std::vector<std::uint8_t>& program)
{
    return startsOnTrial(program, keepWaiting_);
}

std::optional<std::string> VendorTrust::readKeyFile(const std::string& path)
{
    return configfiles::readRegularFile(path);
}

} // namespace nimbrel
