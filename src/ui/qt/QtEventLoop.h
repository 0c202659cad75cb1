#pragma once

#include "core/system/EventLoop.h"

namespace nimbrel::view {

// The yield of a long handler: lets pending window events and timer ticks run.
class QtEventLoop : public EventLoop {
public:
    void doEvents() override;
};

} // namespace nimbrel::view
