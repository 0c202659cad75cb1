#pragma once

#include "core/system/MemoryBlock.h"
#include "core/system/MemoryStatus.h"

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
    std::int32_t passes = 0;       // passes made; none when it ended before the first
    bool targetMet = false;        // it ended because as much memory as it wanted was available
    PassMethod method = PassMethod::Block; // how its passes made memory available
    std::int32_t freedMB = 0;      // available at the end less available at the start, never negative
    std::int32_t availableMB = 0;  // available at the end
    std::int32_t amountMB = 0;     // what the release was to free
    bool amountChosen = true;      // false: the user started it with no amount selected
    bool swapPresent = false;      // the machine has swap (or zram) to page idle programs out to
    const PagingWords* words = &swapWords; // what the system calls that
};

// The outcome of a release that ends now: known holds what the release itself knows (origin, refused, amount,
// passes, targetMet, method); what is available now is measured against what was available when it began.
ReleaseOutcome measureOutcome(MemoryStatus& status, ReleaseOutcome known, std::int32_t availableAtStartMB);

// What the user is told of it, with how its passes freed memory: "Freed 303 MB by the kernel's reclaim ·
// 1,512 MB available now", "Freed 303 MB with a memory block · 1,512 MB available now"; "Nothing was freed:
// no release was needed with 4,210 MB available", or why nothing was freed ("Nothing was freed: no amount is
// chosen · ...", "Nothing was freed: the memory block found no idle memory to page out · ...", a refusal).
std::string describeOutcome(const ReleaseOutcome& outcome);
// The same in a few words, for the tray's tooltip: "Freed 303 MB", "No release needed", "Release refused: no swap".
std::string summariseOutcome(const ReleaseOutcome& outcome);

// A whole number with a comma between each group of three digits ("1,512").
std::string groupedDigits(std::int64_t number);

// A running pass for the Release RAM panel: "Releasing: 3.1 of 21.5 GB", "Releasing: 40 of 100 MB".
std::string describeProgress(const PassProgress& progress);

} // namespace nimbrel
