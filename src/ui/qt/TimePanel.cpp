#include "ui/qt/TimePanel.h"

#include "app/MainForm.h"
#include "ui/qt/CheckBinding.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/OptionBinding.h"
#include "ui/qt/PanelWidgets.h"

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
    chkTimeActive = place<QCheckBox>(frame, "chkTimeActive");
    bindCheck(*chkTimeActive, policy.chkTimeActive);

    optTimeMinute = place<QRadioButton>(frame, "optTimeMinute");
    optTimeHour = place<QRadioButton>(frame, "optTimeHour");
    bindOptions({optTimeMinute, optTimeHour}, policy.optTimeUnit);

    lblRelaeaseRamTime = place<QLabel>(frame, "lblRelaeaseRamTime");
    lstTimeInterval = place<QListView>(frame, "lstTimeInterval");
    bindList(*lstTimeInterval, policy.lstTimeInterval);

    lblReleaseTime = place<QLabel>(frame, "lblReleaseTime");
    lstTimeAmount = place<QListView>(frame, "lstTimeAmount");
    lstTimeAmount->setUniformItemSizes(true); // up to a thousand entries of one height
    bindList(*lstTimeAmount, policy.lstTimeAmount);

    chkTimeCPU = place<QCheckBox>(frame, "chkTimeCPU");
    bindCheck(*chkTimeCPU, policy.chkTimeCPU);
    cmbTimeCPU = place<QComboBox>(frame, "cmbTimeCPU");
    bindCombo(*cmbTimeCPU, policy.cmbTimeCPU);
    lblReleaseTimeCPU = place<QLabel>(frame, "lblReleaseTimeCPU");
}

} // namespace nimbrel::view
