#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace nimbrel {

// Starts the program from its bytes (a sealed memory file, so what runs is exactly what was given) with the
// trial mark in its environment (platform/common/Environment.h) and waits for it: true when it ended
// successfully within the limit. The program goes through a real start, up to the first turn of its event
// loop: on Qt's offscreen platform, with homes of its own in a temporary folder (its settings, its store, its
// single-instance lock), without the session's display or bus and with the vendor's server out of reach, so
// that a trial changes nothing of the user's and shows nothing. A program the system cannot execute (a wrong
// loader, a missing library, another machine's code) or one that crashes, fails or hangs gives false; one still
// running at the limit, or when keepWaiting (called while it waits) says to stop, is killed.
bool startsOnTrial(const std::vector<std::uint8_t>& program,
                   const std::function<bool()>& keepWaiting = {},
                   std::chrono::milliseconds limit = std::chrono::seconds(30));

} // namespace nimbrel
