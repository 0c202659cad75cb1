#pragma once

#include "core/system/EventLoop.h"

#include <windows.h>

namespace nimbrel::win32 {

// The yield: dispatches the messages waiting in the thread's queue, then returns.
class Win32EventLoop : public EventLoop {
public:
    void doEvents() override;
};

// Delivers one message as the program's loops do: keyboard navigation and access
// keys of the window it is meant for first.
void deliver(MSG& message);

} // namespace nimbrel::win32
