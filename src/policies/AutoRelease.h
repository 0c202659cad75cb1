#pragma once

#include "ReleasePolicy.h"
#include "core/controls/CheckBoxModel.h"
#include "core/controls/ListModel.h"
#include "core/controls/TimerModel.h"

namespace nimbrel {

// The Automatic panel: at the chosen interval, frees the chosen amount when
// available memory has fallen to the chosen minimum, unless the CPU is busy.
class AutoRelease : private ReleasePolicy {
public:
    using ReleasePolicy::Neighbours; // lstAutoAmount, cmbAutoRelease and the totals from the amounts
    using ReleasePolicy::Services;

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
    std::int64_t lastAutoCheck_ = 0; // seconds of the steady clock
};

} // namespace nimbrel
