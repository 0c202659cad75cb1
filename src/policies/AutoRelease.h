#pragma once

#include "core/controls/CheckBoxModel.h"
#include "core/system/Clock.h"
#include "core/controls/ListModel.h"
#include "core/controls/TimerModel.h"

namespace nimbrel {

class AmountLists;
class ErrorReporter;
class LabelModel;
class LowMemoryWarning;
class MemoryStatus;
class ReleaseEngine;
class Settings;
class StartupOptions;

// The Automatic panel: at the chosen interval, frees the chosen amount when
// available memory has fallen to the chosen minimum, unless the CPU is busy.
class AutoRelease {
public:
    struct Services {
        MemoryStatus& memory;
        Clock& clock;
        Settings& settings;
        ErrorReporter& reporter;
    };
    struct Neighbours {
        AmountLists& amounts;         // lstAutoAmount, cmbAutoRelease and the totals
        StartupOptions& startup;      // the wait before the first pass
        ReleaseEngine& engine;
        LowMemoryWarning& warning;
        const LabelModel& lblCPU;
    };

    AutoRelease(Services services, Neighbours neighbours, const bool& isLoading);

    void loadAuto();
    // Turns the policy on as the load sequence and the check box do: the first check one interval from now.
    void arm();
    void tmrAuto_Timer();

    void cmbAutoRelease_Click();
    void lstAutoInterval_Click();
    void lstAutoAmount_Click();
    void chkAutoCPU_Click();
    void cmbAutoCPU_Click();
    void chkAutoActive_Click();

    TimerModel tmrAuto{1000};
    CheckBoxModel chkAutoActive{"Auto Release Active"};
    ListModel lstAutoInterval;
    CheckBoxModel chkAutoCPU{"Don't perform auto freeup unless CPU usage is below"};
    ListModel cmbAutoCPU;
    ListModel& cmbAutoRelease;
    ListModel& lstAutoAmount;

private:

    Services services_;
    Neighbours n_;
    const bool& isLoading_;
    std::int64_t lastAutoCheck_ = 0; // seconds of the steady clock
};

} // namespace nimbrel
