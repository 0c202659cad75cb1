#include "ReleaseEngine.h"

#include "AmountLists.h"
#include "AvailableMemory.h"
#include "PassChoice.h"
#include "core/system/MessageBoxes.h"
#include "core/base/Numbers.h"
#include "core/base/Trap.h"
#include "settings/AppliedValues.h"
#include "settings/Settings.h"

#include <algorithm>

namespace nimbrel {

namespace {
const char* const appTitle = "Nimbrel";
} // namespace

ReleaseEngine::ReleaseEngine(Services services, ListModel& lstRam, ListModel& cmbRetry, const bool& isLoading)
    : services_(services), lstRam_(lstRam), cmbRetry_(cmbRetry), isLoading_(isLoading)
{
    tmrRam.onTimer = [this] { tmrRam_Timer(); };
    tmrPass.onTimer = [this] { tmrPass_Timer(); };
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
    passesMade_ = 0;
    availableAtStart_ = availableMB;
    amount_ = amountMB;
    amountChosen_ = true;
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
    const bool chosen = lstRam_.listIndex() >= 0;
    trap([&] {
        if (chosen) amount = entryAmountMB(lstRam_.text());
    });
    trap([&] { startRelease(amount, 1000, ReleaseOrigin::User); });
    amountChosen_ = chosen;
}

void ReleaseEngine::mnuRelease_Click() { cmdRam_Click(); }

void ReleaseEngine::lstRam_Click()
{
    if (isLoading_) return;
    const Trap trap(services_.reporter, "frmMain,lstRam_Click");
    trap([&] { services_.settings.writeData(keys::ramRelease, std::to_string(lstRam_.listIndex())); });
    trap([&] { mnuRelease.setCaption(releaseEntryCaption(lstRam_)); });
}

void ReleaseEngine::tmrRam_Timer()
{
    const Trap trap(services_.reporter, "frmMain,tmrRam_Timer");
    if (pass_) return;
    const double passLimit = leadingNumber(cmbRetry_.text());
    if (retryCount_ >= passLimit) {
        endRelease(false, false);
        return;
    }
    std::int32_t avail = 0;
    trap([&] { avail = availablePhysicalMB(services_.status); });
    if (avail >= releaseTarget_) {
        endRelease(false, true);
        return;
    }
    // A pass that fails to start counts as made, as a failing pass always has.
    if (!trap([&] { freeUpRAM(releaseTarget_); })) ++retryCount_;
}

void ReleaseEngine::freeUpRAM(std::int32_t sizeMB)
{
    if (sizeMB <= 0) {
        ++retryCount_;
        ++passesMade_;
        return;
    }
    pass_ = services_.block.startPass(passRequest(services_.settings, sizeMB, false));
    lastMethod_ = pass_->method();
    // A pass over at once is counted in this tick; any other is watched until it ends.
    tmrPass_Timer();
    if (pass_) tmrPass.setEnabled(true);
}

void ReleaseEngine::tmrPass_Timer()
{
    const Trap trap(services_.reporter, "frmMain,tmrRam_Timer");
    if (!pass_) {
        tmrPass.setEnabled(false);
        return;
    }
    PassProgress progress;
    trap([&] { progress = pass_->progress(); });
    if (!progress.finished) {
        trap([&] { lblOutcome.setCaption(describeProgress(progress)); });
        return;
    }
    pass_.reset();
    tmrPass.setEnabled(false);
    passEnded(progress);
}

void ReleaseEngine::passEnded(const PassProgress& progress)
{
    // A refused or aborted block is the system not providing it: not an error to report.
    if (progress.outcome == BlockOutcome::Refused) {
        // Refused, not merely ended, only when no earlier pass of this release has freed anything.
        endRelease(passesMade_ == 0, false);
        return;
    }
    // A block given back early because memory ran short counts as a pass. A pass that a new start of the
    // release finds under way counts for the new one.
    ++retryCount_;
    ++passesMade_;
}

void ReleaseEngine::endRelease(bool refused, bool targetMet)
{
    const std::int32_t passes = refused ? 0 : passesMade_;
    retryCount_ = 0;
    tmrRam.setEnabled(false);
    const Trap trap(services_.reporter, "frmMain,tmrRam_Timer");
    ReleaseOutcome outcome;
    outcome.origin = origin_;
    outcome.refused = refused;
    outcome.passes = passes;
    outcome.targetMet = targetMet;
    outcome.method = lastMethod_;
    outcome.amountMB = amount_;
    outcome.amountChosen = amountChosen_;
    trap([&] { outcome = measureOutcome(services_.status, outcome, availableAtStart_); });
    lastOutcome_ = outcome;
    trap([&] { showOutcome(outcome); });
    finished.emit();
}

void ReleaseEngine::showOutcome(const ReleaseOutcome& outcome) { lblOutcome.setCaption(describeOutcome(outcome)); }

void ReleaseEngine::restoreSelection()
{
    const Trap trap(services_.reporter, "frmMain,loadRAM");
    std::string stored;
    trap([&] { stored = services_.settings.getData(keys::ramRelease); });
    trap([&] { applyBoundedPosition(lstRam_, stored); });
}

std::string releaseEntryCaption(const ListModel& lstRam)
{
    if (lstRam.listIndex() < 0) return ReleaseEngine::mnuReleaseCaption;
    return "Free Up " + lstRam.text() + " Now";
}

} // namespace nimbrel
