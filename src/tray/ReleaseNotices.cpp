#include "ReleaseNotices.h"

#include "SysTray.h"
#include "core/TrayIcon.h"
#include "core/Trap.h"
#include "memory/ReleaseEngine.h"

namespace nimbrel {

ReleaseNotices::ReleaseNotices(ReleaseEngine& engine, SysTray& tray, TrayIcon& icon, ErrorReporter& reporter)
    : engine_(engine), tray_(tray), icon_(icon), reporter_(reporter)
{
    engine_.finished.connect([this] { releaseEnded(); });
}

void ReleaseNotices::releaseEnded()
{
    const ReleaseOutcome& outcome = engine_.lastOutcome();
    const Trap trap(reporter_, "modSysTray,releaseEnded");
    trap([&] { tray_.setSecondLine(summariseOutcome(outcome)); });
    bool tell = outcome.origin == ReleaseOrigin::User;
    if (!tell && outcome.refused && !policyRefusalTold_) {
        policyRefusalTold_ = true;
        tell = true;
    }
    if (tell) trap([&] { icon_.showMessage("Nimbrel", describeOutcome(outcome)); });
}

} // namespace nimbrel
