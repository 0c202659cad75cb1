#pragma once

#include "ReleaseOutcome.h"
#include "core/controls/ButtonModel.h"
#include "core/controls/LabelModel.h"
#include "core/controls/ListModel.h"
#include "core/system/MemoryBlock.h"
#include "core/system/MemoryStatus.h"
#include "core/controls/MenuEntryModel.h"
#include "core/base/Signal.h"
#include "core/controls/TimerModel.h"

#include <cstdint>
#include <memory>

namespace nimbrel {

class ErrorReporter;
class MessageBoxes;
class Settings;

// The release engine: one pass per tick of tmrRam until available memory
// reaches the target or the passes allowed by "Number of Retrys" are used.
// A release runs exactly while tmrRam is enabled. A block that memory and
// swap cannot back ends the release at once: a later pass asks for a block
// as large again and more, and could not fare better.
// A pass goes on outside the window's thread (the block's holders, the
// kernel's reclaim); tmrPass looks at it every few dozen milliseconds, shows
// how far it has come on lblOutcome and counts it once it is over. A tick of
// tmrRam that finds the pass of an earlier tick still under way waits for it.
class ReleaseEngine {
public:
    struct Services {
        MemoryStatus& status;
        MemoryBlock& block;
        MessageBoxes& messages;
        ErrorReporter& reporter;
        Settings& settings;
    };

    // lstRam offers the amounts, cmbRetry the most passes one release may
    // make; isLoading silences lstRam's handler while stored values are applied.
    ReleaseEngine(Services services, ListModel& lstRam, ListModel& cmbRetry, const bool& isLoading);

    void startRelease(std::int32_t amountMB, std::uint32_t firstDelayMs, ReleaseOrigin origin);
    // The same, with the available memory its caller measured earlier in the same tick.
    void startReleaseFrom(std::int32_t availableMB, std::int32_t amountMB, std::uint32_t firstDelayMs,
                          ReleaseOrigin origin);
    bool running() const { return tmrRam.enabled(); }

    void cmdRam_Click();
    void mnuRelease_Click();
    void lstRam_Click();
    void tmrRam_Timer();
    // The selection half of loadRAM: applies the stored position of lstRam.
    void restoreSelection();

    std::int32_t releaseTarget() const { return releaseTarget_; }
    std::int32_t retryCount() const { return retryCount_; }

    // How the last release ended; raised once each release has ended.
    const ReleaseOutcome& lastOutcome() const { return lastOutcome_; }
    // Puts how a release ended on lblOutcome, the whole reason, also of a refusal: a desktop without a tray
    // shows no notification.
    void showOutcome(const ReleaseOutcome& outcome);
    Signal<> finished;

    TimerModel tmrRam{1000};
    // Looks at the running pass; enabled exactly while one runs.
    TimerModel tmrPass{passPollMs};
    static constexpr std::uint32_t passPollMs = 40;
    ButtonModel cmdRam{"FreeUp RAM Now"};
    static constexpr const char* mnuReleaseCaption = "Free&Up RAM Now";
    MenuEntryModel mnuRelease{mnuReleaseCaption};
    // The last outcome on the Release RAM panel (the engine's or a launch's), empty until a release has ended.
    LabelModel lblOutcome;

    static constexpr const char* busyMessage = "The application is already releasing RAM.Please wait or try later.";

private:
    void freeUpRAM(std::int32_t sizeMB);
    void tmrPass_Timer();
    void passEnded(const PassProgress& progress);
    void endRelease(bool refused, bool targetMet);

    Services services_;
    ListModel& lstRam_;
    ListModel& cmbRetry_;
    const bool& isLoading_;
    std::int32_t releaseTarget_ = 0;
    std::int32_t retryCount_ = 0;
    std::int32_t availableAtStart_ = 0;
    std::int32_t amount_ = 0;
    bool amountChosen_ = true;
    std::int32_t passesMade_ = 0; // passes of this release that ran to their end
    ReleaseOrigin origin_ = ReleaseOrigin::User;
    std::unique_ptr<RunningPass> pass_;
    PassMethod lastMethod_ = PassMethod::Block;
    ReleaseOutcome lastOutcome_;
};

// The menu entry's caption for the amount selected in lstRam ("Free Up 16 MB Now"); with none selected, the
// entry's own caption, which names no amount.
std::string releaseEntryCaption(const ListModel& lstRam);

} // namespace nimbrel
