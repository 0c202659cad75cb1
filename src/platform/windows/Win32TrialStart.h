#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace nimbrel {

// Starts the program from its bytes on trial and waits for it: true when it went through a real start up to the
// first turn of its message loop and ended there (platform/windows/TrialRun) within the limit. The trial has
// places of its own, made for it and removed after it: a folder in the temporary folder with the program file
// (Windows lets no one change a program file while it runs), its settings beside it and its %APPDATA%; keys
// under HKEY_CURRENT_USER in place of both hives; a desktop no one sees, without a taskbar, for its windows and
// its tray icon; and the vendor's server out of reach. A trial changes nothing of the user's and shows nothing.
// A program the system cannot start, one that ends before its message loop (on the trial mark alone, or with
// an error), crashes, or is still running at the limit or when keepWaiting (called while it waits) says to stop
// (it is ended then) gives false. The limit is the Linux trial's: a real start of a new program file can take
// seconds where the system scans it first or is busy, and the window's events run meanwhile.
bool startsOnTrial(const std::vector<std::uint8_t>& program, const std::function<bool()>& keepWaiting = {},
                   std::chrono::milliseconds limit = std::chrono::seconds(30));

} // namespace nimbrel
