#include "TrayGauge.h"

#include "core/controls/CheckBoxModel.h"
#include "core/controls/LabelModel.h"
#include "core/base/Numbers.h"
#include "core/system/TrayIcon.h"

#include <algorithm>

namespace nimbrel {

TrayGauge::TrayGauge(TrayIcon& icon, const CheckBoxModel& chkTrayGauge, const LabelModel& lblPPercent)
    : icon_(icon), enabled_(chkTrayGauge), percent_(lblPPercent)
{
}

void TrayGauge::refresh()
{
    std::optional<int> wanted;
    if (enabled_.checked() && !percent_.caption().empty()) {
        wanted = std::clamp(toInt32(leadingNumber(percent_.caption())), 0, 100);
    }
    if (wanted == shown_) return;
    shown_ = wanted;
    icon_.showGauge(wanted);
}

} // namespace nimbrel
