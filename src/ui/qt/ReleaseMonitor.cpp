#include "ui/qt/ReleaseMonitor.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ShapeFrame.h"
#include "ui/qt/SurfaceWidget.h"
#include "ui/qt/Twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace nimbrel::view {

namespace {

// A surface at its place, as large as its raster.
SurfaceWidget* surface(QGroupBox& frame, const char* name, DrawingSurface& model, int left, int top)
{
    auto* widget = new SurfaceWidget(model, &frame);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(QRect(QPoint(px(left), px(top)), widget->sizeHint()));
    return widget;
}

QLabel* label(QGroupBox& frame, const char* name, QRect geometry, Qt::Alignment alignment)
{
    auto* label = new QLabel(&frame);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

QLabel* label(QGroupBox& frame, const char* name, LabelModel& model, QRect geometry, Qt::Alignment alignment)
{
    QLabel* shown = label(frame, name, geometry, alignment);
    bindLabel(*shown, model);
    return shown;
}

} // namespace

ReleaseMonitor::ReleaseMonitor(QGroupBox& frame, MainForm& form)
{
    // Positions inside the frame, in twips. The meter keeps to the panel's
    // top right corner, right of the totals, with "CPU Usage" and the
    // reading above it; it ends just clear of the caption row above the
    // physical-memory bar, which leaves no room for a frame around it.
    constexpr int meterLeft = 5025;
    constexpr int meterTop = 615;
    lblCPUUsage =
        label(frame, "lblCPUUsage", form.cpu.lblCPUUsage, twipsRect(meterLeft, 360, 1200, 225), Qt::AlignLeft);
    lblCPU = label(frame, "lblCPU", form.cpu.lblCPU, twipsRect(meterLeft + 1200, 360, 735, 225), Qt::AlignRight);
    picCPU = surface(frame, "picCPU", form.cpu.picCPU, meterLeft, meterTop);

    // The bars and their frames where the layout puts them; a caption and
    // the figure above each frame.
    const struct {
        const char* caption;
        const char* captionName;
        const char* percentName;
        const char* barName;
        DrawingSurface& bar;
        LabelModel& percent;
        int frameTop;
    } bars[] = {
        {"Physical Memory", "lblPProgress", "lblPPercent", "picPProgress", form.gauges.picPProgress,
         form.gauges.lblPPercent, 2625},
        {"Page File Memory", "lblVProgress", "lblVPercent", "picVProgress", form.gauges.picVProgress,
         form.gauges.lblVPercent, 3330},
    };
    std::array<QLabel*, 2> captions{};
    std::array<QLabel*, 2> percents{};
    std::array<SurfaceWidget*, 2> surfaces{};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& b = bars[i];
        shpProgress[i] =
            new ShapeFrame(frame, QStringLiteral("shpProgress%1").arg(i), twipsRect(2175, b.frameTop, 3615, 375));
        surfaces[i] = surface(frame, b.barName, b.bar, 2235, b.frameTop + 60);
        captions[i] = label(frame, b.captionName, twipsRect(2175, b.frameTop - 270, 2115, 255), Qt::AlignLeft);
        captions[i]->setText(QString::fromLatin1(b.caption));
        percents[i] =
            label(frame, b.percentName, b.percent, twipsRect(4290, b.frameTop - 270, 1500, 255), Qt::AlignRight);
    }
    picPProgress = surfaces[0];
    picVProgress = surfaces[1];
    lblPProgress = captions[0];
    lblVProgress = captions[1];
    lblPPercent = percents[0];
    lblVPercent = percents[1];
}

} // namespace nimbrel::view
