#pragma once

#include "ReleasePolicy.h"
#include "core/controls/CheckBoxModel.h"
#include "core/system/Clock.h"
#include "core/controls/ListModel.h"
#include "core/controls/OptionGroupModel.h"
#include "core/controls/TimerModel.h"

namespace nimbrel {

// The Time Intervals panel: frees the chosen amount every chosen number of
// minutes or hours, unless the CPU is busy, whatever the memory situation.
class TimedRelease : private ReleasePolicy {
public:
    enum Unit { Minutes = 0, Hours = 1 };

    using ReleasePolicy::Neighbours; // lstTimeAmount and the totals from the amounts
    using ReleasePolicy::Services;

    TimedRelease(Services services, Neighbours neighbours, const bool& isLoading);

    void loadTime();
    // Turns the policy on as the load sequence and the check box do: the first release one interval from now.
    void arm();
    void tmrTime_Timer();

    void lstTimeAmount_Click();
    void optTimeMinute_Click();
    void optTimeHour_Click();
    void lstTimeInterval_Click();
    void chkTimeCPU_Click();
    void cmbTimeCPU_Click();
    void chkTimeActive_Click();

    // The interval in minutes that the panel shows.
    std::int32_t intervalMinutes();

    TimerModel tmrTime{1000};
    CheckBoxModel chkTimeActive{"Time Release Active"};
    OptionGroupModel optTimeUnit{{"Minutes", "Hours"}}; // optTimeMinute, optTimeHour
    ListModel lstTimeInterval;
    CheckBoxModel chkTimeCPU{"Don't perform time freeup unless CPU usage is below"};
    ListModel cmbTimeCPU;
    ListModel& lstTimeAmount;

private:
    void fillIntervals(Unit unit);
    // A unit chosen: the list of intervals in it and, unless loading, the unit stored and the sixth interval chosen.
    void unitClicked(const char* tag, Unit unit, const char* stored);
    void markCheck();
    LocalTime lastCheckOnWallClock(LocalTime now);

    LocalTime lastTimeCheck_;
    std::int64_t lastTimeCheckSteady_ = 0; // the same moment on the steady clock
};

} // namespace nimbrel
