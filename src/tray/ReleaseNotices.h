#pragma once

namespace nimbrel {

class ErrorReporter;
class Launcher;
class ReleaseEngine;
struct ReleaseOutcome;
class SysTray;
class TrayIcon;

// What the user is told when a release ends: a release the user started always tells its outcome; the
// automatic, timed and start-up releases, and the release before a launch (whose program starting is news
// enough), stay quiet when they work and tell a refusal once a run, not at every check. The outcome also
// stands under the caption in the tooltip while the window is hidden, and a launch's, in full, on the Release
// RAM panel's outcome line as the engine's own do, for a desktop without a tray.
class ReleaseNotices {
public:
    ReleaseNotices(ReleaseEngine& engine, Launcher& launcher, SysTray& tray, TrayIcon& icon, ErrorReporter& reporter);

private:
    void releaseEnded(const ReleaseOutcome& outcome);

    SysTray& tray_;
    TrayIcon& icon_;
    ErrorReporter& reporter_;
    bool policyRefusalTold_ = false;
};

} // namespace nimbrel
