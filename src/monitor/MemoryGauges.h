#pragma once

#include "core/controls/DrawingSurface.h"
#include "core/controls/LabelModel.h"
#include "core/controls/TimerModel.h"

#include <cstdint>
#include <functional>
#include <string>

namespace nimbrel {

class AmountLists;
class Clock;
class CpuMeter;
class ErrorReporter;
class HistoryGraphs;
class MemoryStatus;
class WindowModel;

// The memory gauges of the Release RAM panel and the one-second sampling
// tick that also feeds the window caption, the tray tooltip and the graphs.
class MemoryGauges {
public:
    static constexpr Colour barBackColour = rgb(224, 224, 224);
    static constexpr Colour litColour = rgb(85, 173, 247);
    static constexpr Colour unlitColour = rgb(0, 64, 64);
    // The bars' design size in twips.
    static constexpr int barWidth = 3500;
    static constexpr int barHeight = 255;

    struct Services {
        MemoryStatus& memory;
        Clock& clock;
        ErrorReporter& reporter;
    };
    struct Neighbours {
        WindowModel& window;
        AmountLists& amounts;
        HistoryGraphs& graphs;
        CpuMeter& cpu;
        // Offers the new caption to the tray's tooltip.
        std::function<void(const std::string&)> changeToolTip;
    };

    MemoryGauges(Services services, Neighbours neighbours);

    void tmrMemory_Timer();
    void initProgressBar();
    void drawProgressBar(std::int32_t physPercent, std::int32_t pagePercent);

    std::int32_t lastPhysicalPercent() const { return lastPhysicalPercent_; }
    std::int32_t lastPageFilePercent() const { return lastPageFilePercent_; }

    TimerModel tmrMemory{1000};
    DrawingSurface picPProgress{(barWidth + DrawingSurface::twipsPerPixel - 1) / DrawingSurface::twipsPerPixel,
                                barHeight / DrawingSurface::twipsPerPixel, barBackColour,
                                DrawingSurface::twipsPerPixel};
    DrawingSurface picVProgress{(barWidth + DrawingSurface::twipsPerPixel - 1) / DrawingSurface::twipsPerPixel,
                                barHeight / DrawingSurface::twipsPerPixel, barBackColour,
                                DrawingSurface::twipsPerPixel};
    LabelModel lblPPercent;
    LabelModel lblVPercent;

private:
    // Whether this tick passes the graph interval's gate.
    bool gateOpen();
    void showPercentages(std::int32_t physPercent, std::int32_t pagePercent);

    Services services_;
    Neighbours n_;
    std::int32_t lastPhysicalPercent_ = 0;
    std::int32_t lastPageFilePercent_ = 0;
    // What the bars show, drawn when they are next looked at; none before the first reading.
    std::int32_t barPhysPercent_ = -1;
    std::int32_t barPagePercent_ = -1;
};

} // namespace nimbrel
