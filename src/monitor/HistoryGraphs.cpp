#include "HistoryGraphs.h"

#include "BackgroundPicture.h"
#include "core/base/Numbers.h"
#include "core/system/PictureFiles.h"
#include "core/system/ProgramDirectory.h"
#include "core/base/Trap.h"
#include "settings/Settings.h"

namespace nimbrel {

namespace {

const char* const intervalEntries[] = {"1.5 Seconds", "3 Seconds", "6 Seconds", "30 Seconds",
                                       "1 Minute",    "2 Minutes", "5 Minutes", "10 Minutes"};
const char* const storedIntervals[] = {"1.5", "3", "6", "30", "60", "120", "300", "600"};

void layoutScale(std::array<HistoryGraphs::ScaleMark, 4>& scale, std::int32_t totalMB, int graphTop)
{
    const std::int32_t step = totalMB / 3;
    const double third = HistoryGraphs::graphHeight / 3.0;
    for (int k = 0; k < 4; ++k) {
        HistoryGraphs::ScaleMark& mark = scale[static_cast<std::size_t>(k)];
        // The place first: the caption's change event tells the view to show the mark.
        mark.lineY = graphTop + HistoryGraphs::graphHeight - k * third;
        mark.labelTop = mark.lineY - HistoryGraphs::scaleLabelHeight / 2.0;
        mark.label.setCaption(std::to_string(k * step) + " MB");
    }
}

} // namespace

HistoryGraphs::HistoryGraphs(Services services) : services_(services)
{
    for (const char* entry : intervalEntries) cmbUpdateGraph.addItem(entry);
    cmbUpdateGraph.onClick = [this] { cmbUpdateGraph_Click(); };
    emptyHistory();
    const auto drawing = [this](const std::array<std::int16_t, samples>& history, Colour colour) {
        return [this, &history, colour](DrawingSurface& graph) {
            const Trap trap(services_.reporter, "frmMain,drawGraph");
            trap([&] { graph.clear(); });
            trap([&] {
                for (int i = 0; i < samples - 1; ++i) {
                    if (history[i] == -1) continue;
                    graph.line(i, plotHeight - history[i], i + 1, plotHeight - history[i + 1], colour);
                }
            });
        };
    };
    picPhysical.setDrawing(drawing(physicalHistory, physicalColour));
    picVirtual.setDrawing(drawing(pageFileHistory, pageFileColour));
}

void HistoryGraphs::emptyHistory()
{
    physicalHistory.fill(-1);
    pageFileHistory.fill(-1);
}

void HistoryGraphs::layoutScales(std::int32_t totalPhysicalMB, std::int32_t totalPageFileMB)
{
    layoutScale(physicalScale, totalPhysicalMB, physicalTop);
    layoutScale(pageFileScale, totalPageFileMB, pageFileTop);
}

void HistoryGraphs::initGraph()
{
    const Trap trap(services_.reporter, "frmMain,initGraph");
    const std::string path = services_.directory.picturePath("graphback.bmp");
    prepareBackground(
        services_.pictures, path, picPhysical, samples, plotHeight,
        [](DrawingSurface& s) {
            // The line primitive leaves out its end point, so each line reaches one past the grid.
            for (int x = 20; x <= 340; x += 20) s.line(x, 0, x, plotHeight + 1, gridColour);
            for (int y = 10; y <= 60; y += 10) s.line(0, y, samples + 1, y, gridColour);
        },
        trap);
    // The same picture: the two graphs share its pixels.
    picVirtual.shareBackground(picPhysical);
}

void HistoryGraphs::loadGraph()
{
    const Trap trap(services_.reporter, "frmMain,loadGraph");
    std::string value;
    trap([&] { value = services_.settings.getData(keys::memoryGraphInterval); });
    int position = 0;
    for (int i = 0; i < 8; ++i) {
        if (value == storedIntervals[i]) {
            position = i;
            break;
        }
    }
    // Selecting runs the handler even when the entry is already selected, so the value is written back.
    trap([&] { cmbUpdateGraph.userSelect(position); });
    lastGraphSample_ = services_.clock.steadySeconds();
}

void HistoryGraphs::cmbUpdateGraph_Click()
{
    const Trap trap(services_.reporter, "frmMain,cmbUpdateGraph_Click");
    const std::string text = cmbUpdateGraph.text();
    const auto blank = text.find(' ');
    if (blank == std::string::npos) return;
    trap([&] {
        const double number = numericValue(text.substr(0, blank));
        const bool seconds = text.find("Second", blank + 1) != std::string::npos;
        graphInterval_ = seconds ? number : number * 60.0;
    });
    trap([&] { services_.settings.writeData(keys::memoryGraphInterval, shortestDecimal(graphInterval_)); });
}

void HistoryGraphs::shiftHistory()
{
    std::copy(physicalHistory.begin() + 1, physicalHistory.end(), physicalHistory.begin());
    std::copy(pageFileHistory.begin() + 1, pageFileHistory.end(), pageFileHistory.begin());
}

void HistoryGraphs::addSample(std::int32_t physicalHeight, std::int32_t pageFileHeight)
{
    physicalHistory[samples - 1] = static_cast<std::int16_t>(physicalHeight);
    pageFileHistory[samples - 1] = static_cast<std::int16_t>(pageFileHeight);
}

void HistoryGraphs::drawGraph()
{
    picPhysical.redraw();
    picVirtual.redraw();
}

} // namespace nimbrel
