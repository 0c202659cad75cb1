#include "TimedRelease.h"

#include "core/base/Numbers.h"
#include "core/base/Trap.h"
#include "memory/AmountLists.h"
#include "memory/ReleaseOutcome.h"
#include "settings/AppliedValues.h"
#include "settings/Settings.h"

namespace nimbrel {

namespace {

// Clock-minute boundaries passed between two moments: 10:00:59 to 10:05:00 is five.
std::int64_t minuteBoundaries(LocalTime from, LocalTime to)
{
    auto minuteOf = [](std::int64_t seconds) { return seconds >= 0 ? seconds / 60 : (seconds - 59) / 60; };
    return minuteOf(to.seconds) - minuteOf(from.seconds);
}

} // namespace

TimedRelease::TimedRelease(Services services, Neighbours neighbours, const bool& isLoading)
    : ReleasePolicy(services, neighbours, isLoading), lstTimeAmount(neighbours.amounts.lstTimeAmount)
{
    tmrTime.onTimer = [this] { tmrTime_Timer(); };
    lstTimeAmount.onClick = [this] { lstTimeAmount_Click(); };
    optTimeUnit.onClick = [this](int index) {
        if (index == Minutes) {
            optTimeMinute_Click();
        } else {
            optTimeHour_Click();
        }
    };
    lstTimeInterval.onClick = [this] { lstTimeInterval_Click(); };
    chkTimeCPU.onClick = [this] { chkTimeCPU_Click(); };
    cmbTimeCPU.onClick = [this] { cmbTimeCPU_Click(); };
    chkTimeActive.onClick = [this] { chkTimeActive_Click(); };
}

void TimedRelease::loadTime()
{
    const Trap trap(services_.reporter, "frmMain,loadTime");
    Settings& s = services_.settings;
    trap([&] {
        for (int i = 1; i <= 10; ++i)
            cmbTimeCPU.addItem(std::to_string(10 * i));
    });
    trap([&] { applyBoundedPosition(lstTimeAmount, s.getData(keys::timeRelease)); });
    trap([&] {
        // The handler runs even when the option was already set, so the list is always filled.
        const bool minutes = s.getData(keys::timeInterval).find("Minutes") != std::string::npos;
        optTimeUnit.userClick(minutes ? Minutes : Hours);
    });
    trap([&] { applyAsIs(lstTimeInterval, s.getData(keys::timeIntervalAmount)); });
    trap([&] { applyNumericCheck(chkTimeCPU, s.getData(keys::timeCpuCheck)); });
    trap([&] { applyAsIs(cmbTimeCPU, s.getData(keys::timeCpuPercent)); });
    trap([&] { applyNumericCheck(chkTimeActive, s.getData(keys::timeActive)); });
}

void TimedRelease::arm()
{
    markCheck();
    tmrTime.setEnabled(true);
}

void TimedRelease::markCheck()
{
    lastTimeCheck_ = services_.clock.now();
    lastTimeCheckSteady_ = services_.clock.steadySeconds();
}

LocalTime TimedRelease::lastCheckOnWallClock(LocalTime now)
{
    // Whole seconds of the two clocks differ by one at most; more means the
    // wall clock was set (the end of summer time, the time service, the
    // user). The last check then moves with it, so a clock set back does not
    // wait for the old hour to come again, and one set forward does not count
    // the hour it skipped.
    const std::int64_t steadyPassed = services_.clock.steadySeconds() - lastTimeCheckSteady_;
    const std::int64_t setBy = (now.seconds - lastTimeCheck_.seconds) - steadyPassed;
    return setBy >= -1 && setBy <= 1 ? lastTimeCheck_ : LocalTime{now.seconds - steadyPassed};
}

std::int32_t TimedRelease::intervalMinutes()
{
    const double shown = numericValue(lstTimeInterval.text());
    return toInt32(optTimeUnit.selected() == Minutes ? shown : shown * 60.0);
}

void TimedRelease::tmrTime_Timer()
{
    const Trap trap(services_.reporter, "frmMain,tmrTime_Timer");
    if (lstTimeAmount.listIndex() < 0) return;

    std::int64_t interval = 0;
    trap([&] { interval = intervalMinutes(); });
    const LocalTime now = services_.clock.now();
    if (minuteBoundaries(lastCheckOnWallClock(now), now) < interval) return;

    const DueCheck due = checkDue(trap, chkTimeCPU, cmbTimeCPU, lstTimeAmount);
    if (due.heldBack) {
        markCheck();
        return;
    }
    if (!due.goOn) return;

    startRelease(trap, due, ReleaseOrigin::Timed);
    markCheck();
}

void TimedRelease::fillIntervals(Unit unit)
{
    lstTimeInterval.clear();
    if (unit == Minutes) {
        for (int i = 1; i <= 10; ++i)
            lstTimeInterval.addItem(std::to_string(5 * i));
    } else {
        for (int i = 1; i <= 24; ++i)
            lstTimeInterval.addItem(std::to_string(i));
    }
}

void TimedRelease::unitClicked(const char* tag, Unit unit, const char* stored)
{
    const Trap trap(services_.reporter, tag);
    trap([&] { fillIntervals(unit); });
    if (isLoading_) return;
    trap([&] { services_.settings.writeData(keys::timeInterval, stored); });
    trap([&] { lstTimeInterval.setListIndex(5); });
}

void TimedRelease::optTimeMinute_Click()
{
    unitClicked("frmMain,optTimeMinute_Click", Minutes, "Minutes");
}

void TimedRelease::optTimeHour_Click()
{
    unitClicked("frmMain,optTimeHour_Click", Hours, "Hour");
}

void TimedRelease::lstTimeAmount_Click()
{
    // Stores also while loading, so the start writes the restored position back.
    const Trap trap(services_.reporter, "frmMain,lsttimeAMount_Click");
    trap([&] { services_.settings.writeData(keys::timeRelease, std::to_string(lstTimeAmount.listIndex())); });
}

void TimedRelease::lstTimeInterval_Click()
{
    storeClick("frmMain,lstTimeInterval_Click", keys::timeIntervalAmount, lstTimeInterval.listIndex());
}

void TimedRelease::chkTimeCPU_Click()
{
    storeClick("frmMain,chkTimeCPU_Click", keys::timeCpuCheck, chkTimeCPU.value());
}

void TimedRelease::cmbTimeCPU_Click()
{
    storeClick("frmMain,cmbTimeCPU_Click", keys::timeCpuPercent, cmbTimeCPU.listIndex());
}

void TimedRelease::chkTimeActive_Click()
{
    activeClicked("frmMain,chkTimeActive_Click", keys::timeActive, chkTimeActive, tmrTime, [this] { arm(); });
}

} // namespace nimbrel
