#include "MemoryGauges.h"

#include "CpuMeter.h"
#include "HistoryGraphs.h"
#include "core/system/MemoryStatus.h"
#include "core/base/Numbers.h"
#include "core/base/RuntimeError.h"
#include "core/base/Trap.h"
#include "core/controls/WindowModel.h"
#include "memory/AmountLists.h"
#include "memory/AvailableMemory.h"

namespace nimbrel {

namespace {

double exactMB(std::uint64_t bytes)
{
    return roundHalfEven(static_cast<double>(bytes) / 1024.0 / 1024.0 * 100.0) / 100.0;
}

std::int32_t percentOf(std::int32_t availableMB, std::int32_t totalMB)
{
    if (totalMB == 0) throw RuntimeError(11, "Division by zero");
    return toInt32(static_cast<double>(availableMB) / totalMB * 100.0);
}

void drawBar(DrawingSurface& bar, std::int32_t percent, int width, int height)
{
    const std::int32_t fill = toInt32(percent * width * 0.01);
    const std::int32_t count = toInt32(width / 60.0);
    Colour colour = MemoryGauges::litColour;
    for (int i = 0, x = 60; i <= count; ++i, x += 60) {
        if (x >= fill) colour = MemoryGauges::unlitColour;
        bar.line(x, height, x, 0, colour);
    }
}

} // namespace

MemoryGauges::MemoryGauges(Services services, Neighbours neighbours)
    : services_(services), n_(std::move(neighbours))
{
    tmrMemory.onTimer = [this] { tmrMemory_Timer(); };
    const auto drawing = [this](const std::int32_t& percent) {
        return [this, &percent](DrawingSurface& bar) {
            const Trap trap(services_.reporter, "frmMain,drawProgressBar");
            trap([&] { drawBar(bar, percent, barWidth, barHeight); });
        };
    };
    picPProgress.setDrawing(drawing(barPhysPercent_));
    picVProgress.setDrawing(drawing(barPagePercent_));
}

bool MemoryGauges::gateOpen()
{
    if (n_.graphs.cmbUpdateGraph.listIndex() == 0) return true;
    const std::int64_t now = services_.clock.steadySeconds();
    if (static_cast<double>(now - n_.graphs.lastGraphSample()) > n_.graphs.graphInterval()) {
        n_.graphs.setLastGraphSample(now);
        return true;
    }
    return false;
}

void MemoryGauges::tmrMemory_Timer()
{
    const Trap trap(services_.reporter, "frmMain,tmrMemory_Timer");
    bool pass = true;
    trap([&] { pass = gateOpen(); });
    if (!pass) return;

    MemorySnapshot memory;
    const bool read = trap([&] { memory = services_.memory.read(); });
    // The totals of the same reading: a percentage of what is there is never above 100.
    if (read) trap([&] { n_.amounts.followTotals(memory); });
    std::int32_t availPhysMB = 0;
    std::int32_t availPageMB = 0;
    trap([&] { availPhysMB = bytesToMB(memory.availPhys); });
    trap([&] { availPageMB = bytesToMB(memory.availPageFile); });
    const std::string exact = upToTwoDecimals(exactMB(memory.availPhys));

    trap([&] { n_.window.setCaption("Nimbrel " + exact + " MB"); });
    trap([&] {
        if (n_.changeToolTip) n_.changeToolTip(n_.window.caption());
    });
    trap([&] { n_.graphs.picPhysical.setToolTip("Last Value = " + exact + " MB"); });
    trap([&] { n_.graphs.picVirtual.setToolTip("Last Value = " + std::to_string(availPageMB) + " MB"); });

    std::int32_t physPercent = 0;
    std::int32_t pagePercent = 0;
    trap([&] { physPercent = percentOf(availPhysMB, n_.amounts.totalPhysicalMB()); });
    trap([&] { pagePercent = percentOf(availPageMB, n_.amounts.totalPageFileMB()); });
    showPercentages(physPercent, pagePercent);
    trap([&] {
        n_.graphs.shiftHistory();
        n_.graphs.addSample(toInt32(physPercent * 0.69), toInt32(pagePercent * 0.69));
    });
    n_.graphs.drawGraph();
}

void MemoryGauges::initProgressBar()
{
    const Trap trap(services_.reporter, "frmMain,initProgressBar");
    trap([&] { n_.cpu.showNoReadingYet(); });
    MemorySnapshot memory;
    if (trap([&] { memory = services_.memory.read(); })) trap([&] { n_.amounts.followTotals(memory); });
    trap([&] {
        const double whole = roundHalfEven(exactMB(memory.availPhys));
        n_.window.setCaption("Nimbrel " + shortestDecimal(whole) + " MB");
    });
    std::int32_t physPercent = 0;
    std::int32_t pagePercent = 0;
    trap([&] { physPercent = percentOf(bytesToMB(memory.availPhys), n_.amounts.totalPhysicalMB()); });
    trap([&] { pagePercent = percentOf(bytesToMB(memory.availPageFile), n_.amounts.totalPageFileMB()); });
    showPercentages(physPercent, pagePercent);
}

void MemoryGauges::showPercentages(std::int32_t physPercent, std::int32_t pagePercent)
{
    lblPPercent.setCaption(std::to_string(physPercent) + "% Available");
    lblVPercent.setCaption(std::to_string(pagePercent) + "% Available");
    drawProgressBar(physPercent, pagePercent);
    lastPhysicalPercent_ = physPercent;
    lastPageFilePercent_ = pagePercent;
}

void MemoryGauges::drawProgressBar(std::int32_t physPercent, std::int32_t pagePercent)
{
    // A bar is drawn anew only when its reading changed: a steady reading repaints nothing.
    if (physPercent != barPhysPercent_) {
        barPhysPercent_ = physPercent;
        picPProgress.redraw();
    }
    if (pagePercent != barPagePercent_) {
        barPagePercent_ = pagePercent;
        picVProgress.redraw();
    }
}

} // namespace nimbrel
