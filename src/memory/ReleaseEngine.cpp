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

void ReleaseEngine::startRelease(std::int32_t amountMB, std::uint32_t firstDelayMs)
{
    startReleaseFrom(availablePhysicalMB(services_.status), amountMB, firstDelayMs);
}

void ReleaseEngine::startReleaseFrom(std::int32_t availableMB, std::int32_t amountMB, std::uint32_t firstDelayMs)
{
    releaseTarget_ = toInt32(static_cast<double>(availableMB) + amountMB);
    retryCount_ = 0;
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
    trap([&] { startRelease(amount, 1000); });
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
        endRelease();
        return;
    }
    std::int32_t avail = 0;
    trap([&] { avail = availablePhysicalMB(services_.status); });
    if (avail >= releaseTarget_) {
        endRelease();
        return;
    }
    trap([&] { freeUpRAM(releaseTarget_); });
    // A block the system could not provide counts as a pass as well, or a
    // release that can never get its block would run until the program ends.
    ++retryCount_;
}

void ReleaseEngine::freeUpRAM(std::int32_t sizeMB)
{
    if (sizeMB <= 0) return;
    // A refused or aborted block is the system not providing it: not an error to report.
    services_.block.writeAndFree(static_cast<std::uint64_t>(sizeMB) * bytesPerMB);
}

void ReleaseEngine::endRelease()
{
    retryCount_ = 0;
    tmrRam.setEnabled(false);
}

void ReleaseEngine::restoreSelection()
{
    const Trap trap(services_.reporter, "frmMain,loadRAM");
    std::string stored;
    trap([&] { stored = services_.settings.getData(keys::ramRelease); });
    trap([&] { applyBoundedPosition(lstRam_, stored); });
}

} // namespace nimbrel
