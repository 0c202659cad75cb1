#pragma once

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListView;
class QRadioButton;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

// The Time Intervals panel: the switch at the top, the unit of the interval
// below it, the interval and the amount in two lists side by side, and the
// CPU condition at the bottom; laid out like the Automatic panel.
class TimePanel {
public:
    TimePanel(QGroupBox& frame, MainForm& form);

    QCheckBox* chkTimeActive;
    QRadioButton* optTimeMinute;
    QRadioButton* optTimeHour;
    QLabel* lblRelaeaseRamTime;
    QListView* lstTimeInterval;
    QLabel* lblReleaseTime;
    QListView* lstTimeAmount;
    QCheckBox* chkTimeCPU;
    QComboBox* cmbTimeCPU;
    QLabel* lblReleaseTimeCPU;
};

} // namespace nimbrel::view
