#pragma once

#include "core/MemoryStatus.h"

#include <cstdint>
#include <string>

namespace nimbrel {

// Who started a release: the user (the button or the menus), one of the program's own policies, or a launch
// from the launcher's list.
enum class ReleaseOrigin { User, Automatic, Timed, Startup, Launcher };

// How a release ended.
struct ReleaseOutcome {
    ReleaseOrigin origin = ReleaseOrigin::User;
    bool refused = false;          // memory and swap together could not back the block
    std::int32_t freedMB = 0;      // available at the end less available at the start, never negative
    std::int32_t availableMB = 0;  // available at the end
    std::int32_t amountMB = 0;     // what the release was to free
    bool swapPresent = false;      // the machine has swap (or zram) to page idle programs out to
    const PagingWords* words = &swapWords; // what the system calls that
};

// The outcome of a release that ends now: what is available now against what was available when it began.
ReleaseOutcome measureOutcome(MemoryStatus& status, ReleaseOrigin origin, bool refused, std::int32_t availableAtStartMB,
                              std::int32_t amountMB);

// What the user is told of it: "Freed 303 MB · 1,512 MB available now", or why nothing was freed.
std::string describeOutcome(const ReleaseOutcome& outcome);
// The same in a few words, for the tray's tooltip: "Freed 303 MB", "Release refused: no swap".
std::string summariseOutcome(const ReleaseOutcome& outcome);

// A whole number with a comma between each group of three digits ("1,512").
std::string groupedDigits(std::int64_t number);

} // namespace nimbrel
