#include "PolicyInputs.h"

#include "core/LabelModel.h"
#include "core/ListModel.h"
#include "core/Numbers.h"

namespace nimbrel {

int shownCpuUsage(const LabelModel& lblCPU)
{
    std::string text = lblCPU.caption();
    const auto percent = text.rfind('%');
    if (percent != std::string::npos) text.erase(percent);
    return toInt32(leadingNumber(text));
}

int selectedNumber(const ListModel& list) { return toInt32(leadingNumber(list.text())); }

} // namespace nimbrel
