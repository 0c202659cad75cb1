#pragma once

#include <array>

class QFrame;
class QGroupBox;
class QLabel;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

class SurfaceWidget;

// The monitoring part of the Release RAM panel, beside ReleasePanel's list
// and totals: the CPU meter at the top right with "CPU Usage" and the
// reading above it, and at the bottom the two memory bars in their frames,
// each with its caption and its "% Available" figure above it.
class ReleaseMonitor {
public:
    ReleaseMonitor(QGroupBox& frame, MainForm& form);

    std::array<QFrame*, 2> shpProgress;
    SurfaceWidget* picPProgress;
    SurfaceWidget* picVProgress;
    QLabel* lblPProgress; // the captions of the bars
    QLabel* lblVProgress;
    QLabel* lblPPercent;
    QLabel* lblVPercent;
    SurfaceWidget* picCPU;
    QLabel* lblCPUUsage;
    QLabel* lblCPU;
};

} // namespace nimbrel::view
