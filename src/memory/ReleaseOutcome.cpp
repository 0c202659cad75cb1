#include "ReleaseOutcome.h"

#include "AvailableMemory.h"
#include "core/MemoryStatus.h"

#include <algorithm>

namespace nimbrel {

std::string groupedDigits(std::int64_t number)
{
    const bool negative = number < 0;
    std::string digits = std::to_string(negative ? -static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number));
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return negative ? "-" + digits : digits;
}

ReleaseOutcome measureOutcome(MemoryStatus& status, ReleaseOrigin origin, bool refused, std::int32_t availableAtStartMB,
                              std::int32_t amountMB)
{
    const MemorySnapshot now = status.read();
    ReleaseOutcome outcome{origin, refused, 0, bytesToMB(now.availPhys), amountMB, now.totalPageFile > now.totalPhys,
                           &status.pagingWords()};
    if (!refused) outcome.freedMB = std::max(0, outcome.availableMB - availableAtStartMB);
    return outcome;
}

std::string describeOutcome(const ReleaseOutcome& outcome)
{
    if (!outcome.refused) {
        return "Freed " + groupedDigits(outcome.freedMB) + " MB \u00b7 " + groupedDigits(outcome.availableMB) +
               " MB available now";
    }
    // The block is what is available now plus the amount: the amount has to go somewhere, and that is swap.
    const std::string needed = groupedDigits(outcome.amountMB);
    const PagingWords& w = *outcome.words;
    const std::string needs = "more than " + needed + " MB of free " + w.backing + ".";
    if (!outcome.swapPresent) {
        return "Nothing was freed: " + std::string(w.none) + ", so " + w.system +
               " already counts every page it could free as available. " + w.with +
               " Nimbrel can page idle programs out; a release of " + needed + " MB needs " + needs;
    }
    return "Nothing was freed: memory and free " + std::string(w.backing) + " together cannot hold the block of a " +
           needed + " MB release. It needs " + needs;
}

std::string summariseOutcome(const ReleaseOutcome& outcome)
{
    if (!outcome.refused) return "Freed " + groupedDigits(outcome.freedMB) + " MB";
    return std::string("Release refused: ") + (outcome.swapPresent ? outcome.words->shortLow : outcome.words->shortNone);
}

} // namespace nimbrel
