#include "program/linux/network/QtConnectivityProbe.h"

namespace nimbrel::program {

QtConnectivityProbe::QtConnectivityProbe(std::string pageUrl, std::chrono::milliseconds timeout)
    : pageUrl_(std::move(pageUrl)), timeout_(timeout), transfer_(timeout)
{
}

bool QtConnectivityProbe::pageReachable()
{
    // No byte of a body is taken: the transfer ends with the headers, or at the first piece of the page.
    transfer_.openUrlInto(pageUrl_, {0, timeout_}, [](const std::uint8_t*, std::size_t) { return false; });
    return !transfer_.responseHeaders().empty();
}

} // namespace nimbrel::program
