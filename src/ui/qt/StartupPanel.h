#pragma once

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

// The Startup/Other panel: seven small frames in two columns. On the left
// how the window shows at start-up, the CPU meter's speed, starting with
// the desktop session and the number of passes; on the right the release
// at start-up, the low-memory warning switch and closing to the tray.
class StartupPanel {
public:
    StartupPanel(QGroupBox& frame, MainForm& form);

    QGroupBox* fraDisplay;
    std::array<QRadioButton*, 3> optDisplay;
    QGroupBox* fraCPUUpdate;
    std::array<QRadioButton*, 3> optCPU;
    QGroupBox* fraStartup;
    QCheckBox* chkStartup;
    QGroupBox* fraRetry;
    QComboBox* cmbRetry;
    QGroupBox* fraStartupOptions;
    QComboBox* cmbStartupRam;
    QComboBox* cmbStartupWait;
    QGroupBox* fraLowLevel;
    QCheckBox* chkLowLevel;
    QGroupBox* fraQuit;
    QCheckBox* chkQuit;
    QCheckBox* chkTrayGauge;
};

} // namespace nimbrel::view
