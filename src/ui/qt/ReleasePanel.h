#pragma once

class QGroupBox;
class QLabel;
class QListView;
class QPushButton;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

// The controls of the Release RAM panel: the amount list on the left with
// "FreeUp RAM Now" below it, the two total labels beside it. The right part
// of the panel is kept for the gauges and the CPU meter.
class ReleasePanel {
public:
    ReleasePanel(QGroupBox& frame, MainForm& form);

    QListView* lstRam;
    QPushButton* cmdRam;
    QLabel* lblPM;
    QLabel* lblVM;
    QLabel* lblOutcome;
};

} // namespace nimbrel::view
