#pragma once

#include "core/system/EventLoop.h"

namespace nimbrel::win32 {

// A yield for waits that last seconds: lets the waiting messages run and sleeps a moment
// while none come, where a bare yield would keep a processor busy.
class Win32PausingEventLoop : public EventLoop {
public:
    void doEvents() override;
};

} // namespace nimbrel::win32
