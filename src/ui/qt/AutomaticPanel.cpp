#include "ui/qt/AutomaticPanel.h"

#include "app/MainForm.h"
#include "ui/qt/CheckBinding.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/PanelWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>

namespace nimbrel::view {

AutomaticPanel::AutomaticPanel(QGroupBox& frame, MainForm& form)
{
    AutoRelease& policy = form.autoRelease;
    chkAutoActive = place<QCheckBox>(frame, "chkAutoActive");
    bindCheck(*chkAutoActive, policy.chkAutoActive);

    lblAutoRelease = place<QLabel>(frame, "lblAutoRelease");
    cmbAutoRelease = place<QComboBox>(frame, "cmbAutoRelease");
    bindCombo(*cmbAutoRelease, policy.cmbAutoRelease);

    lblAutoRAM = place<QLabel>(frame, "lblAutoRAM");
    lstAutoInterval = place<QListView>(frame, "lstAutoInterval");
    bindList(*lstAutoInterval, policy.lstAutoInterval);

    lblAutoAmount = place<QLabel>(frame, "lblAutoAmount");
    lstAutoAmount = place<QListView>(frame, "lstAutoAmount");
    lstAutoAmount->setUniformItemSizes(true); // up to a thousand entries of one height
    bindList(*lstAutoAmount, policy.lstAutoAmount);

    chkAutoCPU = place<QCheckBox>(frame, "chkAutoCPU");
    bindCheck(*chkAutoCPU, policy.chkAutoCPU);
    cmbAutoCPU = place<QComboBox>(frame, "cmbAutoCPU");
    bindCombo(*cmbAutoCPU, policy.cmbAutoCPU);
    lblAutoCPU = place<QLabel>(frame, "lblAutoCPU");
}

} // namespace nimbrel::view
