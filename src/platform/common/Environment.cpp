#include "Environment.h"

#include <cstdlib>

namespace nimbrel {

namespace {

std::string fromEnvironment(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    std::string url = value != nullptr && *value != '\0' ? value : fallback;
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

} // namespace

std::string vendorServerUrl() { return fromEnvironment("NIMBREL_SERVER", "https://www.nimbrel.com"); }

std::string probeUrl() { return fromEnvironment("NIMBREL_PROBE_URL", "https://www.example.com"); }

bool startedOnTrial() { return std::getenv(trialStartVariable) != nullptr; }

} // namespace nimbrel
