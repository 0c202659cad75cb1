#include "ReleasePolicy.h"

#include "LowMemoryWarning.h"
#include "PolicyInputs.h"
#include "core/base/Numbers.h"
#include "core/base/Trap.h"
#include "core/controls/CheckBoxModel.h"
#include "core/controls/ListModel.h"
#include "core/controls/TimerModel.h"
#include "memory/AmountLists.h"
#include "memory/AvailableMemory.h"
#include "memory/ReleaseEngine.h"
#include "settings/Settings.h"

#include <string>

namespace nimbrel {

ReleasePolicy::ReleasePolicy(Services services, Neighbours neighbours, const bool& isLoading)
    : services_(services), n_(neighbours), isLoading_(isLoading)
{
}

ReleasePolicy::DueCheck ReleasePolicy::checkDue(const Trap& trap, const CheckBoxModel& cpuCondition,
                                                const ListModel& cpuThreshold, const ListModel& amount)
{
    DueCheck due;
    if (n_.engine.running()) {
        due.heldBack = true;
        return due;
    }
    trap([&] { due.heldBack = cpuHoldsBack(cpuCondition, cpuThreshold, n_.lblCPU); });
    if (due.heldBack) return due;

    trap([&] { due.amountMB = entryAmountMB(amount.text()); });
    trap([&] { due.availableMB = availablePhysicalMB(services_.memory); });
    trap([&] { due.goOn = n_.warning.check(due.availableMB, n_.amounts.totalPhysicalMB()); });
    return due;
}

void ReleasePolicy::startRelease(const Trap& trap, const DueCheck& due, ReleaseOrigin origin)
{
    trap([&] { n_.engine.startReleaseFrom(due.availableMB, due.amountMB, startupWaitMs(n_.startup), origin); });
}

void ReleasePolicy::storeClick(const char* tag, const SettingKey& key, int value)
{
    services_.settings.storeUnlessLoading(isLoading_, tag, key, value);
}

void ReleasePolicy::activeClicked(const char* tag, const SettingKey& key, const CheckBoxModel& active,
                                  TimerModel& timer, const std::function<void()>& arm)
{
    if (isLoading_) return;
    const Trap trap(services_.reporter, tag);
    trap([&] { services_.settings.writeData(key, std::to_string(active.value())); });
    trap([&] {
        if (active.value() == 1) {
            arm();
        } else if (active.value() == 0) {
            timer.setEnabled(false);
        }
    });
}

} // namespace nimbrel
