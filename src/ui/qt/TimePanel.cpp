#include "ui/qt/TimePanel.h"

#include "app/MainForm.h"
#include "ui/qt/CheckBinding.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/OptionBinding.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QRadioButton>

namespace nimbrel::view {

TimePanel::TimePanel(QGroupBox& frame, MainForm& form)
{
    TimedRelease& policy = form.timedRelease;
    // Positions inside the frame, in twips, on the Automatic panel's grid.
    chkTimeActive = place<QCheckBox>(frame, "chkTimeActive", twipsRect(180, 360, 3300, 285));
    bindCheck(*chkTimeActive, policy.chkTimeActive);

    optTimeMinute = place<QRadioButton>(frame, "optTimeMinute", twipsRect(180, 795, 1500, 285));
    optTimeHour = place<QRadioButton>(frame, "optTimeHour", twipsRect(1740, 795, 1500, 285));
    bindOptions({optTimeMinute, optTimeHour}, policy.optTimeUnit);

    lblRelaeaseRamTime = placeText(frame, "lblRelaeaseRamTime", "Release RAM at following Interval",
                                   twipsRect(180, 1200, 3300, 420), Qt::AlignLeft | Qt::AlignBottom, true);
    lstTimeInterval = place<QListView>(frame, "lstTimeInterval", twipsRect(180, 1650, 3300, 1230));
    bindList(*lstTimeInterval, policy.lstTimeInterval);

    lblReleaseTime = placeText(frame, "lblReleaseTime", "Amount of RAM to Release", twipsRect(3660, 1200, 3300, 420),
                               Qt::AlignLeft | Qt::AlignBottom, true);
    lstTimeAmount = place<QListView>(frame, "lstTimeAmount", twipsRect(3660, 1650, 3300, 1230));
    lstTimeAmount->setUniformItemSizes(true); // up to a thousand entries of one height
    bindList(*lstTimeAmount, policy.lstTimeAmount);

    chkTimeCPU = place<QCheckBox>(frame, "chkTimeCPU", twipsRect(180, 2985, 6780, 285));
    bindCheck(*chkTimeCPU, policy.chkTimeCPU);
    cmbTimeCPU = place<QComboBox>(frame, "cmbTimeCPU", twipsRect(480, 3315, 900, 330));
    bindCombo(*cmbTimeCPU, policy.cmbTimeCPU);
    lblReleaseTimeCPU = placeText(frame, "lblReleaseTimeCPU", "percent", twipsRect(1440, 3315, 1200, 330),
                                  Qt::AlignLeft | Qt::AlignVCenter, true);
}

} // namespace nimbrel::view
