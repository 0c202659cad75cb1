#include "ReleaseEngine.h"

#include "AmountLists.h"
#include "AvailableMemory.h"
#include "core/MessageBoxes.h"
#include "core/Numbers.h"
#include "core/Trap.h"
#include "settings/AppliedValues.h"
#include "settings/Settings.h"

#include <algorithm>

namespace nimbrel {

namespace {
constexpr std::uint64_t bytesPerMB = 1024ull * 1024ull;
const char* const appTitle = "Nimbrel";
} // namespace

ReleaseEngine::ReleaseEngine(Services services, ListModel& lstRam, ListModel& cmbRetry, const bool& isLoading)
    : services_(services), lstRam_(lstRam), cmbRetry_(cmbRetry), isLoading_(isLoading)
{
    tmrRam.onTimer = [this] { tmrRam_Timer(); };
    cmdRam.onClick = [this] { cmdRam_Click(); };
    mnuRelease.onClick = [this] { mnuRelease_Click(); };
    lstRam_.onClick = [this] { lstRam_Click(); };
}

void ReleaseEngine::startRelease(std::int32_t amountMB, std::uint32_t firstDelayMs, ReleaseOrigin origin)
{
    startReleaseFrom(availablePhysicalMB(services_.status), amountMB, firstDelayMs, origin);
}

void ReleaseEngine::startReleaseFrom(std::int32_t availableMB, std::int32_t amountMB, std::uint32_t firstDelayMs,
                                     ReleaseOrigin origin)
{
    releaseTarget_ = toInt32(static_cast<double>(availableMB) + amountMB);
    retryCount_ = 0;
    availableAtStart_ = availableMB;
    amount_ = amountMB;
    origin_ = origin;
    // A timer of interval 0 is enabled but never ticks, which would hold the
    // engine busy for good; no wait means the next tick.
    tmrRam.setInterval(std::max<std::uint32_t>(firstDelayMs, 1));
    tmrRam.setEnabled(true);
}

void ReleaseEngine::cmdRam_Click()
{
    const Trap trap(services_.reporter, "frmMain,cmdRAM_Click");
    if (tmrRam.enabled()) {
        trap([&] { services_.messages.msgBox(busyMessage, mb::information | mb::okOnly, appTitle); });
        return;
    }
    std::int32_t amount = 0;
    trap([&] {
        if (lstRam_.listIndex() >= 0) amount = entryAmountMB(lstRam_.text());
    });
    trap([&] { startRelease(amount, 1000, ReleaseOrigin::User); });
}

void ReleaseEngine::mnuRelease_Click() { cmdRam_Click(); }

void ReleaseEngine::lstRam_Click()
{
    if (isLoading_) return;
    const Trap trap(services_.reporter, "frmMain,lstRam_Click");
    trap([&] { services_.settings.writeData(keys::ramRelease, std::to_string(lstRam_.listIndex())); });
    trap([&] { mnuRelease.setCaption("Free Up " + lstRam_.text() + " Now"); });
}

void ReleaseEngine::tmrRam_Timer()
{
    const Trap trap(services_.reporter, "frmMain,tmrRam_Timer");
    const double passLimit = leadingNumber(cmbRetry_.text());
    if (retryCount_ >= passLimit) {
        endRelease(false);
        return;
    }
    std::int32_t avail = 0;
    trap([&] { avail = availablePhysicalMB(services_.status); });
    if (avail >= releaseTarget_) {
        endRelease(false);
        return;
    }
    BlockOutcome block = BlockOutcome::Written;
    trap([&] { block = freeUpRAM(releaseTarget_); });
    if (block == BlockOutcome::Refused) {
        // Refused, not merely ended, only when no earlier pass of this release has freed anything.
        endRelease(retryCount_ == 0);
        return;
    }
    // A block given back early because memory ran short counts as a pass.
    ++retryCount_;
}

BlockOutcome ReleaseEngine::freeUpRAM(std::int32_t sizeMB)
{
    if (sizeMB <= 0) return BlockOutcome::Written;
    // A refused or aborted block is the system not providing it: not an error to report.
    return services_.block.writeAndFree(static_cast<std::uint64_t>(sizeMB) * bytesPerMB);
}

void ReleaseEngine::endRelease(bool refused)
{
    retryCount_ = 0;
    tmrRam.setEnabled(false);
    const Trap trap(services_.reporter, "frmMain,tmrRam_Timer");
    ReleaseOutcome outcome{origin_, refused, 0, 0, amount_, false};
    trap([&] { outcome = measureOutcome(services_.status, origin_, refused, availableAtStart_, amount_); });
    lastOutcome_ = outcome;
    // The panel's line is short; the notification carries the whole reason of a refusal.
    trap([&] { lblOutcome.setCaption(refused ? summariseOutcome(outcome) : describeOutcome(outcome)); });
    finished.emit();
}

void ReleaseEngine::restoreSelection()
{
    const Trap trap(services_.reporter, "frmMain,loadRAM");
    std::string stored;
    trap([&] { stored = services_.settings.getData(keys::ramRelease); });
    trap([&] { applyBoundedPosition(lstRam_, stored); });
}

} // namespace nimbrel
