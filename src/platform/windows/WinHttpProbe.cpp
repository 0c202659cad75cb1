#include "WinHttpProbe.h"

#include "WinHttpRequest.h"

namespace nimbrel {

WinHttpProbe::WinHttpProbe(std::string pageUrl, std::chrono::milliseconds timeout)
    : pageUrl_(std::move(pageUrl)), timeout_(timeout)
{
}

bool WinHttpProbe::pageReachable()
{
    // Any status line will do, whatever it says; a redirect is an answer too, and following it would only test
    // another server. The page itself is not read.
    WinHttpRequest request(pageUrl_, timeout_, false);
    return request.send() && request.status() != 0;
}

} // namespace nimbrel
