#include "ui/qt/AutomaticPanel.h"

#include "app/MainForm.h"
#include "ui/qt/CheckBinding.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>

namespace nimbrel::view {

AutomaticPanel::AutomaticPanel(QGroupBox& frame, MainForm& form)
{
    AutoRelease& policy = form.autoRelease;
    // Positions inside the frame, in twips: two columns of 3300 with 180
    // between; the threshold of the CPU condition sits below its check box.
    chkAutoActive = place<QCheckBox>(frame, "chkAutoActive", twipsRect(180, 360, 3300, 285));
    bindCheck(*chkAutoActive, policy.chkAutoActive);

    lblAutoRelease = placeText(frame, "lblAutoRelease", "Automatically release RAM when it reaches a minimum of",
                               twipsRect(180, 780, 5250, 330), Qt::AlignLeft | Qt::AlignVCenter, true);
    cmbAutoRelease = place<QComboBox>(frame, "cmbAutoRelease", twipsRect(5520, 780, 1440, 330));
    bindCombo(*cmbAutoRelease, policy.cmbAutoRelease);

    // The captions sit on the lists; the longer one takes two lines.
    lblAutoRAM = placeText(frame, "lblAutoRAM", "Check for minimum level of RAM at the following interval (Seconds)",
                           twipsRect(180, 1200, 3300, 420), Qt::AlignLeft | Qt::AlignBottom, true);
    lstAutoInterval = place<QListView>(frame, "lstAutoInterval", twipsRect(180, 1650, 3300, 1230));
    bindList(*lstAutoInterval, policy.lstAutoInterval);

    lblAutoAmount = placeText(frame, "lblAutoAmount", "Amount of RAM to Release", twipsRect(3660, 1200, 3300, 420),
                              Qt::AlignLeft | Qt::AlignBottom, true);
    lstAutoAmount = place<QListView>(frame, "lstAutoAmount", twipsRect(3660, 1650, 3300, 1230));
    lstAutoAmount->setUniformItemSizes(true); // up to a thousand entries of one height
    bindList(*lstAutoAmount, policy.lstAutoAmount);

    chkAutoCPU = place<QCheckBox>(frame, "chkAutoCPU", twipsRect(180, 2985, 6780, 285));
    bindCheck(*chkAutoCPU, policy.chkAutoCPU);
    cmbAutoCPU = place<QComboBox>(frame, "cmbAutoCPU", twipsRect(480, 3315, 900, 330));
    bindCombo(*cmbAutoCPU, policy.cmbAutoCPU);
    lblAutoCPU = placeText(frame, "lblAutoCPU", "percent", twipsRect(1440, 3315, 1200, 330),
                           Qt::AlignLeft | Qt::AlignVCenter, true);
}

} // namespace nimbrel::view
