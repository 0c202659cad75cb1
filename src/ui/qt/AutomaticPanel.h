#pragma once

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListView;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

// The Automatic panel: the switch at the top, the minimum that starts a
// release beside its drop-down list, the check interval and the amount in
// two lists side by side, and the CPU condition at the bottom.
class AutomaticPanel {
public:
    AutomaticPanel(QGroupBox& frame, MainForm& form);

    QCheckBox* chkAutoActive;
    QLabel* lblAutoRelease;
    QComboBox* cmbAutoRelease;
    QLabel* lblAutoRAM;
    QListView* lstAutoInterval;
    QLabel* lblAutoAmount;
    QListView* lstAutoAmount;
    QCheckBox* chkAutoCPU;
    QComboBox* cmbAutoCPU;
    QLabel* lblAutoCPU;
};

} // namespace nimbrel::view
