#pragma once

#include <array>

class QComboBox;
class QGroupBox;
class QListView;
class QPushButton;
class QRadioButton;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

// The Launcher panel: the share of memory to free before a launch and the most passes on the left, the
// user's programs and the button that edits them on the right. The editor opens from here, modal.
class LauncherPanel {
public:
    LauncherPanel(QGroupBox& frame, MainForm& form);

    std::array<QRadioButton*, 5> optLauncher{};
    QComboBox* cmbLauncher;
    QListView* lstLauncher;
    QPushButton* cmdConfigureLauncher;
};

} // namespace nimbrel::view
