#include "CpuMeter.h"

#include "BackgroundPicture.h"
#include "core/base/Numbers.h"
#include "core/controls/OptionGroupModel.h"
#include "core/system/ProgramDirectory.h"
#include "core/base/Trap.h"
#include "settings/Settings.h"

#include <algorithm>

namespace nimbrel {

CpuMeter::CpuMeter(Services services, OptionGroupModel& optCPU) : services_(services), optCPU_(optCPU)
{
    tmrCPU.onTimer = [this] { tmrCPU_Timer(); };
    optCPU_.onClick = [this](int index) { optCPU_Click(index); };
    picCPU.setDrawing([this](DrawingSurface& meter) {
        const Trap trap(services_.reporter, "frmMain,drawCPUGraph");
        trap([&] {
            meter.clear();
            for (int i = 0; i < shownRows_; ++i) {
                const int y = 95 - 5 * i;
                meter.line(60, y, 10, y, litColour);
                meter.line(115, y, 65, y, litColour);
            }
        });
    });
}

void CpuMeter::createSampler()
{
    sampler_ = std::make_unique<CpuSampler>(services_.counters, services_.dynamicData, services_.reporter);
}

void CpuMeter::releaseSampler()
{
    if (sampler_) sampler_->Class_Terminate();
    sampler_.reset();
}

void CpuMeter::initGraph()
{
    const Trap trap(services_.reporter, "frmMain,initGraph");
    prepareBackground(
        services_.pictures, services_.directory.picturePath("cpuback.bmp"), picCPU, picCPU.pixelWidth(),
        picCPU.pixelHeight(), [](DrawingSurface& s) {
            for (int row = 1; row <= 17; ++row) {
                const int y = 10 + 5 * row;
                s.line(60, y, 10, y, unlitColour);
                s.line(115, y, 65, y, unlitColour);
            }
        },
        trap);
    picCPU.redraw(); // the lit rows over the new background
}

void CpuMeter::showNoReadingYet() { lblCPU.setCaption("0%"); }

void CpuMeter::tmrCPU_Timer()
{
    const Trap trap(services_.reporter, "frmMain,tmrCPU_Timer");
    std::int32_t reading = 0;
    trap([&] {
        if (sampler_) reading = sampler_->CurrentCPUUsage();
    });
    reading = std::clamp(reading, 0, 100);
    trap([&] { lblCPU.setCaption(std::to_string(reading) + "%"); });
    drawCPUGraph(reading);
    lastCPUPercent_ = reading;
}

void CpuMeter::drawCPUGraph(std::int32_t percent)
{
    // The picture changes only with the number of lit rows: a steady reading repaints nothing.
    const std::int32_t rows = toInt32(percent * 0.17);
    if (rows == shownRows_) return;
    shownRows_ = rows;
    picCPU.redraw();
}

void CpuMeter::optCPU_Click(int index)
{
    const Trap trap(services_.reporter, "frmMain,optCPU_Click");
    static constexpr std::uint32_t periods[] = {5000, 2000, 1000};
    trap([&] {
        if (index >= 0 && index < 3 && tmrCPU.interval() != periods[index]) tmrCPU.setInterval(periods[index]);
    });
    trap([&] { services_.settings.writeData(keys::startupCpuUpdate, std::to_string(index)); });
}

} // namespace nimbrel
