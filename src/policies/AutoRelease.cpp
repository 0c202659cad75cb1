#include "AutoRelease.h"

#include "core/base/Numbers.h"
#include "core/base/Trap.h"
#include "core/system/Clock.h"
#include "memory/AmountLists.h"
#include "memory/ReleaseOutcome.h"
#include "settings/AppliedValues.h"
#include "settings/Settings.h"

namespace nimbrel {

AutoRelease::AutoRelease(Services services, Neighbours neighbours, const bool& isLoading)
    : ReleasePolicy(services, neighbours, isLoading), cmbAutoRelease(neighbours.amounts.cmbAutoRelease),
      lstAutoAmount(neighbours.amounts.lstAutoAmount)
{
    tmrAuto.onTimer = [this] { tmrAuto_Timer(); };
    cmbAutoRelease.onClick = [this] { cmbAutoRelease_Click(); };
    lstAutoInterval.onClick = [this] { lstAutoInterval_Click(); };
    lstAutoAmount.onClick = [this] { lstAutoAmount_Click(); };
    chkAutoCPU.onClick = [this] { chkAutoCPU_Click(); };
    cmbAutoCPU.onClick = [this] { cmbAutoCPU_Click(); };
    chkAutoActive.onClick = [this] { chkAutoActive_Click(); };
}

void AutoRelease::loadAuto()
{
    const Trap trap(services_.reporter, "frmMain,loadAuto");
    Settings& s = services_.settings;
    trap([&] { applyBoundedPosition(cmbAutoRelease, s.getData(keys::autoMinimum)); });
    trap([&] { applyBoundedPosition(lstAutoAmount, s.getData(keys::autoRelease)); });
    trap([&] {
        for (int i = 1; i <= 60; ++i)
            lstAutoInterval.addItem(std::to_string(5 * i));
    });
    trap([&] { applyNumericPosition(lstAutoInterval, s.getData(keys::autoInterval)); });
    trap([&] { applyNumericCheck(chkAutoCPU, s.getData(keys::autoCpuCheck)); });
    trap([&] {
        for (int i = 1; i <= 10; ++i)
            cmbAutoCPU.addItem(std::to_string(10 * i));
    });
    trap([&] { applyNumericPosition(cmbAutoCPU, s.getData(keys::autoCpuPercent)); });
    trap([&] { applyNumericCheck(chkAutoActive, s.getData(keys::autoActive)); });
}

void AutoRelease::arm()
{
    lastAutoCheck_ = services_.clock.steadySeconds();
    tmrAuto.setEnabled(true);
}

void AutoRelease::tmrAuto_Timer()
{
    const Trap trap(services_.reporter, "frmMain,tmrAuto_Timer");
    if (lstAutoAmount.listIndex() < 0 || cmbAutoRelease.listIndex() < 0) return;

    std::int64_t interval = 0;
    trap([&] { interval = toInt32(numericValue(lstAutoInterval.text())); });
    const std::int64_t now = services_.clock.steadySeconds();
    if (now - lastAutoCheck_ < interval) return;

    const DueCheck due = checkDue(trap, chkAutoCPU, cmbAutoCPU, lstAutoAmount);
    if (due.heldBack) {
        lastAutoCheck_ = now;
        return;
    }
    if (!due.goOn) return;

    std::int32_t minimum = 0;
    trap([&] { minimum = entryAmountMB(cmbAutoRelease.text()); });
    // Above the minimum the interval is not restarted: from now on the check runs every tick.
    if (due.availableMB > minimum) return;

    startRelease(trap, due, ReleaseOrigin::Automatic);
    lastAutoCheck_ = services_.clock.steadySeconds();
}

void AutoRelease::cmbAutoRelease_Click()
{
    storeClick("frmMain,cmbAutoRelease_Click", keys::autoMinimum, cmbAutoRelease.listIndex());
}

void AutoRelease::lstAutoInterval_Click()
{
    storeClick("frmMain,lstAutoInterval_Click", keys::autoInterval, lstAutoInterval.listIndex());
}

void AutoRelease::lstAutoAmount_Click()
{
    storeClick("frmMain,lstAutoAmount_Click", keys::autoRelease, lstAutoAmount.listIndex());
}

void AutoRelease::chkAutoCPU_Click()
{
    storeClick("frmMain,chkAutoCPU_Click", keys::autoCpuCheck, chkAutoCPU.value());
}

void AutoRelease::cmbAutoCPU_Click()
{
    storeClick("frmMain,cmbAutoCPU_Click", keys::autoCpuPercent, cmbAutoCPU.listIndex());
}

void AutoRelease::chkAutoActive_Click()
{
    activeClicked("frmMain,chkAutoActive_Click", keys::autoActive, chkAutoActive, tmrAuto, [this] { arm(); });
}

} // namespace nimbrel
