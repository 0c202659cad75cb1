#include "PolicyInputs.h"

#include "core/controls/CheckBoxModel.h"
#include "core/controls/LabelModel.h"
#include "core/controls/ListModel.h"
#include "core/base/Numbers.h"
#include "settings/StartupOptions.h"

namespace nimbrel {

int shownCpuUsage(const LabelModel& lblCPU)
{
    std::string text = lblCPU.caption();
    const auto percent = text.rfind('%');
    if (percent != std::string::npos) text.erase(percent);
    return toInt32(leadingNumber(text));
}

int selectedNumber(const ListModel& list)
{
    return toInt32(leadingNumber(list.text()));
}

bool cpuHoldsBack(const CheckBoxModel& condition, const ListModel& threshold, const LabelModel& lblCPU)
{
    return condition.value() == 1 && shownCpuUsage(lblCPU) >= selectedNumber(threshold);
}

std::uint32_t startupWaitMs(const StartupOptions& startup)
{
    return static_cast<std::uint32_t>(selectedNumber(startup.cmbStartupWait)) * 1000u;
}

} // namespace nimbrel
