#include "LowMemoryWarning.h"

#include "core/controls/CheckBoxModel.h"
#include "core/system/MessageBoxes.h"
#include "core/base/Numbers.h"
#include "core/base/RuntimeError.h"

#include <string>

namespace nimbrel {

LowMemoryWarning::LowMemoryWarning(MessageBoxes& messages, CheckBoxModel& chkLowLevel)
    : messages_(messages), chkLowLevel_(chkLowLevel)
{
}

bool LowMemoryWarning::check(std::int32_t availableMB, std::int32_t totalPhysicalMB)
{
    if (chkLowLevel_.value() != 0) return true;
    if (boxOpen_) return false;
    if (totalPhysicalMB == 0) throw RuntimeError(11, "Division by zero");
    const std::int32_t percent = toInt32(static_cast<double>(availableMB) / totalPhysicalMB * 100.0);
    if (percent >= 20) return true;

    struct OpenBox {
        bool& open;
        explicit OpenBox(bool& flag) : open(flag) { open = true; }
        ~OpenBox() { open = false; }
    } box(boxOpen_);

    if (warningCount_ < 3) {
        messages_.msgBox("Warning the system has only " + std::to_string(percent) + " % of Total Physical Memory",
                         mb::critical | mb::okOnly, "Nimbrel");
        ++warningCount_;
    } else if (messages_.msgBox("Disable the warning?", mb::question | mb::yesNo, "Nimbrel") == mb::yes) {
        chkLowLevel_.setValue(1);
        warningCount_ = 0;
    }
    return true;
}

} // namespace nimbrel
