#include "ui/qt/StartupPanel.h"

#include "ui/qt/PanelWidgets.h"

#include "app/MainForm.h"
#include "ui/qt/CheckBinding.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/OptionBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include <string>

namespace nimbrel::view {

StartupPanel::StartupPanel(QGroupBox& frame, MainForm& form)
{
    StartupOptions& startup = form.startup;
    fraDisplay = place<QGroupBox>(frame, "fraDisplay");
    for (std::size_t i = 0; i < optDisplay.size(); ++i) {
        optDisplay[i] = place<QRadioButton>(*fraDisplay, "optDisplay" + std::to_string(i));
    }
    bindOptions({optDisplay[0], optDisplay[1], optDisplay[2]}, startup.optDisplay);

    fraCPUUpdate = place<QGroupBox>(frame, "fraCPUUpdate");
    for (std::size_t i = 0; i < optCPU.size(); ++i) {
        optCPU[i] = place<QRadioButton>(*fraCPUUpdate, "optCPU" + std::to_string(i));
    }
    bindOptions({optCPU[0], optCPU[1], optCPU[2]}, startup.optCPU);

    fraStartup = place<QGroupBox>(frame, "fraStartup");
    chkStartup = place<QCheckBox>(*fraStartup, "chkStartup");
    bindCheck(*chkStartup, startup.chkStartup);

    fraRetry = place<QGroupBox>(frame, "fraRetry");
    place<QLabel>(*fraRetry, "lblTry");
    cmbRetry = place<QComboBox>(*fraRetry, "cmbRetry");
    bindCombo(*cmbRetry, startup.cmbRetry);
    place<QLabel>(*fraRetry, "lblTimes");

    fraStartupOptions = place<QGroupBox>(frame, "fraStartupOptions");
    place<QLabel>(*fraStartupOptions, "lblStartupRam");
    cmbStartupRam = place<QComboBox>(*fraStartupOptions, "cmbStartupRam");
    bindCombo(*cmbStartupRam, startup.cmbStartupRam);
    place<QLabel>(*fraStartupOptions, "lblStartupWait");
    cmbStartupWait = place<QComboBox>(*fraStartupOptions, "cmbStartupWait");
    bindCombo(*cmbStartupWait, startup.cmbStartupWait);

    fraLowLevel = place<QGroupBox>(frame, "fraLowLevel");
    chkLowLevel = place<QCheckBox>(*fraLowLevel, "chkLowLevel");
    bindCheck(*chkLowLevel, startup.chkLowLevel);
    place<QLabel>(*fraLowLevel, "lblResources");
    place<QLabel>(*fraLowLevel, "lblAutoTimeOnly");

    fraQuit = place<QGroupBox>(frame, "fraQuit");
    chkQuit = place<QCheckBox>(*fraQuit, "chkQuit");
    bindCheck(*chkQuit, startup.chkQuit);
    chkTrayGauge = place<QCheckBox>(*fraQuit, "chkTrayGauge");
    bindCheck(*chkTrayGauge, startup.chkTrayGauge);
}

} // namespace nimbrel::view
