#pragma once

#include <array>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

class SurfaceWidget;

// The History Graphs panel: the two graphs one above the other, each with
// its caption above it and its megabyte scale on its right, and the choice
// of the update interval at the bottom.
class GraphsPanel {
public:
    GraphsPanel(QGroupBox& frame, MainForm& form);

    QLabel* lblPhysicalGraph;
    SurfaceWidget* picPhysical;
    std::array<QLabel*, 4> lblP;
    std::array<QFrame*, 4> lnP;
    QLabel* lblVirtualGraph;
    SurfaceWidget* picVirtual;
    std::array<QLabel*, 4> lblV;
    std::array<QFrame*, 4> lnV;
    QLabel* lblUpdateGraph;
    QComboBox* cmbUpdateGraph;
};

} // namespace nimbrel::view
