#pragma once

namespace nimbrel {

class ConnectivityProbe {
public:
    virtual ~ConnectivityProbe() = default;
    // Opens a well-known web page with a client of its own; true when any HTTP answer came back.
    virtual bool pageReachable() = 0;
};

} // namespace nimbrel
