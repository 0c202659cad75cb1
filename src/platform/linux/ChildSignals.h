#pragma once

namespace nimbrel {

// In a child forked from Nimbrel: every signal back to its default action and none blocked, so that a signal
// meant for the child never runs a handler of Nimbrel's and a program it executes starts as from a shell.
// Async-signal-safe.
void restoreDefaultSignals() noexcept;

} // namespace nimbrel
