#include "ReleaseOutcome.h"

#include "AvailableMemory.h"
#include "core/system/MemoryStatus.h"

#include <algorithm>
#include <cstdio>

namespace nimbrel {

std::string groupedDigits(std::int64_t number)
{
    const bool negative = number < 0;
    std::string digits = std::to_string(negative ? -static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number));
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return negative ? "-" + digits : digits;
}

ReleaseOutcome measureOutcome(MemoryStatus& status, ReleaseOutcome known, std::int32_t availableAtStartMB)
{
    const MemorySnapshot now = status.read();
    ReleaseOutcome outcome = known;
    outcome.availableMB = bytesToMB(now.availPhys);
    outcome.swapPresent = now.totalPageFile > now.totalPhys;
    outcome.words = &status.pagingWords();
    // Memory that came free while no pass ran is other programs' doing, not the release's.
    outcome.freedMB = outcome.refused || outcome.passes == 0 ? 0 : std::max(0, outcome.availableMB - availableAtStartMB);
    return outcome;
}

std::string describeOutcome(const ReleaseOutcome& outcome)
{
    const std::string available = groupedDigits(outcome.availableMB) + " MB available";
    if (!outcome.refused && !outcome.amountChosen && outcome.passes == 0)
        return "Nothing was freed: no amount is chosen \u00b7 " + available + " now";
    if (!outcome.refused && outcome.passes == 0) {
        // Worded as the other outcomes that freed nothing begin.
        if (outcome.targetMet) return "Nothing was freed: no release was needed with " + available;
        return "Nothing was freed: Number of Retrys allows no pass \u00b7 " + available + " now";
    }
    const bool reclaim = outcome.method == PassMethod::KernelReclaim;
    if (!outcome.refused && outcome.freedMB == 0) {
        // The passes ran to their end, and the system still had nothing idle to give up.
        return std::string("Nothing was freed: ") + (reclaim ? "the kernel's reclaim" : "the memory block") +
               " found no idle memory to page out \u00b7 " + available + " now";
    }
    if (!outcome.refused) {
        const char* const how = reclaim ? " by the kernel's reclaim" : " with a memory block";
        return "Freed " + groupedDigits(outcome.freedMB) + " MB" + how + " \u00b7 " + available + " now";
    }
    // The block is what is available now plus the amount: the amount has to go somewhere, and that is swap.
    // The Page File gauge counts memory and swap together, so it reads high beside a refusal for want of swap.
    const std::string needed = groupedDigits(outcome.amountMB);
    const PagingWords& w = *outcome.words;
    const std::string needs = "A " + needed + " MB release needs more than " + needed + " MB of free " + w.backing + ".";
    if (!outcome.swapPresent) {
        return "Nothing was freed: " + std::string(w.none) + ", so " + w.system +
               " already counts all it could free as available (the Page File gauge is memory and " + w.backing +
               " together). " + needs;
    }
    return "Nothing was freed: memory and free " + std::string(w.backing) +
           " together cannot hold the release's block (the Page File gauge counts memory too). " + needs;
}

std::string summariseOutcome(const ReleaseOutcome& outcome)
{
    if (!outcome.refused && outcome.passes == 0) return outcome.targetMet && outcome.amountChosen ? "No release needed" : "Nothing freed";
    if (!outcome.refused) return outcome.freedMB == 0 ? "Nothing freed" : "Freed " + groupedDigits(outcome.freedMB) + " MB";
    return std::string("Release refused: ") + (outcome.swapPresent ? outcome.words->shortLow : outcome.words->shortNone);
}

} // namespace nimbrel

namespace nimbrel {

std::string describeProgress(const PassProgress& progress)
{
    constexpr double bytesPerMB = 1024.0 * 1024.0;
    const double doneMB = static_cast<double>(std::min(progress.doneBytes, progress.goalBytes)) / bytesPerMB;
    const double goalMB = static_cast<double>(progress.goalBytes) / bytesPerMB;
    char text[64];
    if (goalMB >= 1024.0)
        std::snprintf(text, sizeof text, "Releasing: %.1f of %.1f GB", doneMB / 1024.0, goalMB / 1024.0);
    else
        std::snprintf(text, sizeof text, "Releasing: %.0f of %.0f MB", doneMB, goalMB);
    return text;
}

} // namespace nimbrel
