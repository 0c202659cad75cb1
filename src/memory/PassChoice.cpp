#include "PassChoice.h"

#include "core/base/Text.h"
#include "settings/Settings.h"

namespace nimbrel {

PassRequest passRequest(Settings& settings, std::int64_t targetMB, bool keep)
{
    constexpr std::uint64_t bytesPerMB = 1024ull * 1024ull;
    PassRequest request;
    request.targetBytes = targetMB > 0 ? static_cast<std::uint64_t>(targetMB) * bytesPerMB : 0;
    request.keep = keep;
    request.blockOnly = equalIgnoringCase(settings.getData(keys::ramMethod), "Block");
    return request;
}

} // namespace nimbrel
