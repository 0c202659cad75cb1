#pragma once

namespace nimbrel {

class EventLoop {
public:
    virtual ~EventLoop() = default;
    // Lets pending window events and timer ticks run, then returns.
    virtual void doEvents() = 0;
};

} // namespace nimbrel
