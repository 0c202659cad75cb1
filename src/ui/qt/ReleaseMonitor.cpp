#include "ui/qt/ReleaseMonitor.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/ShapeFrame.h"
#include "ui/qt/SurfaceWidget.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace nimbrel::view {

namespace {

QLabel* label(QGroupBox& frame, const char* name, LabelModel& model)
{
    auto* shown = place<QLabel>(frame, name);
    bindLabel(*shown, model);
    return shown;
}

} // namespace

ReleaseMonitor::ReleaseMonitor(QGroupBox& frame, MainForm& form)
{
    // The meter keeps to the panel's top right corner, right of the totals,
    // with "CPU Usage" and the reading above it; it ends just clear of the
    // caption row above the physical-memory bar, which leaves no room for a
    // frame around it.
    lblCPUUsage = label(frame, "lblCPUUsage", form.cpu.lblCPUUsage);
    lblCPU = label(frame, "lblCPU", form.cpu.lblCPU);
    picCPU = laidOut(new SurfaceWidget(form.cpu.picCPU, &frame), "picCPU");

    // The bars in their frames, a caption and the figure above each frame.
    const struct {
        const char* shapeName;
        const char* barName;
        const char* captionName;
        const char* percentName;
        DrawingSurface& bar;
        LabelModel& percent;
    } bars[] = {
        {"shpProgress0", "picPProgress", "lblPProgress", "lblPPercent", form.gauges.picPProgress,
         form.gauges.lblPPercent},
        {"shpProgress1", "picVProgress", "lblVProgress", "lblVPercent", form.gauges.picVProgress,
         form.gauges.lblVPercent},
    };
    std::array<QLabel*, 2> captions{};
    std::array<QLabel*, 2> percents{};
    std::array<SurfaceWidget*, 2> surfaces{};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& b = bars[i];
        shpProgress[i] = place<ShapeFrame>(frame, b.shapeName);
        surfaces[i] = laidOut(new SurfaceWidget(b.bar, &frame), b.barName);
        captions[i] = place<QLabel>(frame, b.captionName);
        percents[i] = label(frame, b.percentName, b.percent);
    }
    picPProgress = surfaces[0];
    picVProgress = surfaces[1];
    lblPProgress = captions[0];
    lblVProgress = captions[1];
    lblPPercent = percents[0];
    lblVPercent = percents[1];
}

} // namespace nimbrel::view
