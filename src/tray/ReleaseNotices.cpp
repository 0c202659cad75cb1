#include "ReleaseNotices.h"

#include "SysTray.h"
#include "core/system/TrayIcon.h"
#include "core/base/Trap.h"
#include "launcher/Launcher.h"
#include "memory/ReleaseEngine.h"

namespace nimbrel {

ReleaseNotices::ReleaseNotices(ReleaseEngine& engine, Launcher& launcher, SysTray& tray, TrayIcon& icon,
                               ErrorReporter& reporter)
    : tray_(tray), icon_(icon), reporter_(reporter)
{
    engine.finished.connect([this, &engine] { releaseEnded(engine.lastOutcome()); });
    launcher.preReleaseEnded.connect([this, &engine, &launcher] {
        Trap(reporter_, "modSysTray,releaseEnded")([&] { engine.showOutcome(launcher.lastOutcome()); });
        releaseEnded(launcher.lastOutcome());
    });
}

void ReleaseNotices::releaseEnded(const ReleaseOutcome& outcome)
{
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
