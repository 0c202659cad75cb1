#pragma once

#include "core/system/EventLoop.h"

namespace nimbrel::view {

// A yield for waits that last seconds: lets events run for a moment and
// sleeps while none come, where a bare yield would keep a processor busy.
class QtPausingEventLoop : public EventLoop {
public:
    void doEvents() override;
};

} // namespace nimbrel::view
