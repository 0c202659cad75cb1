#pragma once

#include "core/system/Clock.h"
#include "core/controls/DrawingSurface.h"
#include "core/controls/LabelModel.h"
#include "core/controls/ListModel.h"

#include <array>
#include <cstdint>

namespace nimbrel {

class ErrorReporter;
class PictureFiles;
class ProgramDirectory;
class Settings;

// The History Graphs panel: the last 365 samples of available physical and
// page-file memory, one pixel column each, over graphback.bmp, and the
// megabyte scales beside them.
class HistoryGraphs {
public:
    static constexpr int samples = 365;
    static constexpr int plotHeight = 69;
    static constexpr Colour gridColour = rgb(0, 128, 0);
    static constexpr Colour physicalColour = rgb(0, 255, 0);
    static constexpr Colour pageFileColour = rgb(128, 255, 128);

    // Where the graphs stand on their panel (twips), for their scales.
    static constexpr int physicalTop = 600;
    static constexpr int pageFileTop = 2160;
    static constexpr int graphHeight = (plotHeight + 1) * DrawingSurface::twipsPerPixel;
    static constexpr int scaleLabelHeight = 195;

    // One mark of a megabyte scale: its caption and where its line and label stand (twips).
    struct ScaleMark {
        LabelModel label;
        double lineY = 0;
        double labelTop = 0;
    };

    struct Services {
        PictureFiles& pictures;
        ProgramDirectory& directory;
        Settings& settings;
        Clock& clock;
        ErrorReporter& reporter;
    };

    explicit HistoryGraphs(Services services);

    // Sets every position of both histories to "no sample".
    void emptyHistory();
    // Lays out both megabyte scales from the totals.
    void layoutScales(std::int32_t totalPhysicalMB, std::int32_t totalPageFileMB);
    // The graphs' part of preparing the backgrounds.
    void initGraph();
    void loadGraph();
    void cmbUpdateGraph_Click();
    void shiftHistory();
    // Stores the newest sample of both graphs (0 ... 69) at the right edge.
    void addSample(std::int32_t physicalHeight, std::int32_t pageFileHeight);
    void drawGraph();

    double graphInterval() const { return graphInterval_; }
    // When the graphs last took a sample, in seconds of the steady clock.
    std::int64_t lastGraphSample() const { return lastGraphSample_; }
    void setLastGraphSample(std::int64_t steadySeconds) { lastGraphSample_ = steadySeconds; }

    std::array<std::int16_t, samples> physicalHistory{};
    std::array<std::int16_t, samples> pageFileHistory{};
    ListModel cmbUpdateGraph;
    DrawingSurface picPhysical{samples, plotHeight + 1, colours::black};
    DrawingSurface picVirtual{samples, plotHeight + 1, colours::black};
    std::array<ScaleMark, 4> physicalScale;
    std::array<ScaleMark, 4> pageFileScale;

private:
    Services services_;
    double graphInterval_ = 1.5;
    std::int64_t lastGraphSample_ = 0;
};

} // namespace nimbrel
