#include "ui/qt/StartupPanel.h"

#include "ui/qt/PanelWidgets.h"

#include "app/MainForm.h"
#include "ui/qt/CheckBinding.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/OptionBinding.h"
#include "ui/qt/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace nimbrel::view {

namespace {

QGroupBox* box(QWidget& panel, const char* name, const char* title, QRect geometry)
{
    auto* frame = place<QGroupBox>(panel, name, geometry);
    frame->setTitle(QString::fromLatin1(title));
    return frame;
}

} // namespace

StartupPanel::StartupPanel(QGroupBox& frame, MainForm& form)
{
    StartupOptions& startup = form.startup;
    // The frames' positions inside the panel and their controls' positions
    // inside each frame, in twips: two columns with 120 between, the left one
    // wide enough for the three speeds side by side.
    constexpr int left = 180;
    constexpr int width = 3600;
    constexpr int right = left + width + 120;
    constexpr int rightWidth = 6960 - right;
    constexpr int inset = 120;

    fraDisplay = box(frame, "fraDisplay", "Display at Startup", twipsRect(left, 330, width, 1170));
    for (int i = 0; i < 3; ++i) {
        optDisplay[static_cast<std::size_t>(i)] =
            place<QRadioButton>(*fraDisplay, QStringLiteral("optDisplay%1").arg(i),
                                twipsRect(inset, 255 + 270 * i, width - 2 * inset, 270));
    }
    bindOptions({optDisplay[0], optDisplay[1], optDisplay[2]}, startup.optDisplay);

    fraCPUUpdate = box(frame, "fraCPUUpdate", "CPU Graph Update Interval", twipsRect(left, 1560, width, 660));
    constexpr int speedLefts[] = {inset, 1305, 2625};
    constexpr int speedWidths[] = {1155, 1125, 960};
    for (int i = 0; i < 3; ++i) {
        optCPU[static_cast<std::size_t>(i)] = place<QRadioButton>(*fraCPUUpdate, QStringLiteral("optCPU%1").arg(i),
                                                                  twipsRect(speedLefts[i], 270, speedWidths[i], 285));
    }
    bindOptions({optCPU[0], optCPU[1], optCPU[2]}, startup.optCPU);

    fraStartup = box(frame, "fraStartup", "When I startup my computer", twipsRect(left, 2280, width, 660));
    chkStartup = place<QCheckBox>(*fraStartup, "chkStartup", twipsRect(inset, 270, width - 2 * inset, 285));
    bindCheck(*chkStartup, startup.chkStartup);

    fraRetry = box(frame, "fraRetry", "Number of Retrys", twipsRect(left, 3000, width, 720));
    placeText(*fraRetry, "lblTry", "Try", twipsRect(inset, 300, 420, 285));
    cmbRetry = place<QComboBox>(*fraRetry, "cmbRetry", twipsRect(570, 270, 900, 330));
    bindCombo(*cmbRetry, startup.cmbRetry);
    placeText(*fraRetry, "lblTimes", "times", twipsRect(1560, 300, 900, 285));

    fraStartupOptions = box(frame, "fraStartupOptions", "Startup Options", twipsRect(right, 330, rightWidth, 1665));
    placeText(*fraStartupOptions, "lblStartupRam", "Amount of RAM to release",
              twipsRect(inset, 255, rightWidth - 2 * inset, 240));
    cmbStartupRam = place<QComboBox>(*fraStartupOptions, "cmbStartupRam", twipsRect(inset, 510, 1800, 330));
    bindCombo(*cmbStartupRam, startup.cmbStartupRam);
    placeText(*fraStartupOptions, "lblStartupWait", "Time to Wait(Seconds)",
              twipsRect(inset, 900, rightWidth - 2 * inset, 240));
    cmbStartupWait = place<QComboBox>(*fraStartupOptions, "cmbStartupWait", twipsRect(inset, 1155, 1800, 330));
    bindCombo(*cmbStartupWait, startup.cmbStartupWait);

    fraLowLevel = box(frame, "fraLowLevel", "Disable Low Level", twipsRect(right, 2055, rightWidth, 885));
    chkLowLevel = place<QCheckBox>(*fraLowLevel, "chkLowLevel", twipsRect(inset, 270, 300, 285));
    bindCheck(*chkLowLevel, startup.chkLowLevel);
    placeText(*fraLowLevel, "lblResources", "Resources Warning", twipsRect(450, 270, rightWidth - 450 - inset, 255));
    placeText(*fraLowLevel, "lblAutoTimeOnly", "(Auto & Time Only", twipsRect(450, 525, rightWidth - 450 - inset, 255));

    fraQuit = box(frame, "fraQuit", "Quit button hides in tray", twipsRect(right, 3000, rightWidth, 720));
    chkQuit = place<QCheckBox>(*fraQuit, "chkQuit", twipsRect(inset, 300, 1020, 285));
    bindCheck(*chkQuit, startup.chkQuit);
    // Beside "Enable", where the frame has room: the tray icon as a gauge of available memory.
    chkTrayGauge = place<QCheckBox>(*fraQuit, "chkTrayGauge", twipsRect(1140, 300, rightWidth - 1140 - inset / 2, 285));
    chkTrayGauge->setToolTip(QStringLiteral("Show available memory in the tray icon"));
    bindCheck(*chkTrayGauge, startup.chkTrayGauge);
}

} // namespace nimbrel::view
