#pragma once

#include <functional>

namespace nimbrel::win32 {

// Runs what a user action (a click, a tick, a menu choice) asks of the behaviour.
// The behaviour traps its own errors; anything that still escapes must not unwind
// through the system's message dispatch, so it is written to stderr and dropped.
void runUserAction(const std::function<void()>& action) noexcept;

} // namespace nimbrel::win32
