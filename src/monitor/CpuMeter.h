#pragma once

#include "CpuSampler.h"
#include "core/controls/DrawingSurface.h"
#include "core/controls/LabelModel.h"
#include "core/controls/TimerModel.h"

#include <cstdint>
#include <memory>

namespace nimbrel {

class DynamicData;
class ErrorReporter;
class OptionGroupModel;
class PictureFiles;
class ProgramDirectory;
class Settings;
class SystemCounters;

// The CPU meter of the Release RAM panel: the reading in lblCPU and two
// columns of 17 green segments over cpuback.bmp, refreshed by tmrCPU at the
// speed chosen under "CPU Graph Update Interval".
class CpuMeter {
public:
    struct Services {
        SystemCounters& counters;
        DynamicData* dynamicData;
        PictureFiles& pictures;
        ProgramDirectory& directory;
        Settings& settings;
        ErrorReporter& reporter;
    };

    static constexpr Colour unlitColour = rgb(0, 128, 0);
    static constexpr Colour litColour = rgb(0, 255, 0);

    // optCPU is the speed option group of the Startup/Other panel.
    CpuMeter(Services services, OptionGroupModel& optCPU);

    // Creates the sampler, which takes its first counters now.
    void createSampler();
    // Releases the sampler, as the shutdown does.
    void releaseSampler();
    CpuSampler* sampler() { return sampler_.get(); }

    // The meter's part of preparing the backgrounds.
    void initGraph();
    void tmrCPU_Timer();
    void drawCPUGraph(std::int32_t percent);
    void optCPU_Click(int index);
    // Shows 0% until the first tick: /proc/stat moves in 10 ms steps, so a
    // reading of the few milliseconds since the sampler began would say
    // anything from 0 to 100%, and the release policies read this label.
    void showNoReadingYet();

    std::int32_t lastCPUPercent() const { return lastCPUPercent_; }

    TimerModel tmrCPU{1000};
    LabelModel lblCPU{"0%"};
    LabelModel lblCPUUsage{"CPU Usage"};
    DrawingSurface picCPU{129, 113, colours::black};

private:
    Services services_;
    OptionGroupModel& optCPU_;
    std::unique_ptr<CpuSampler> sampler_;
    std::int32_t lastCPUPercent_ = 0;
    std::int32_t shownRows_ = 0; // the lit rows of segments, drawn when next looked at
};

} // namespace nimbrel
