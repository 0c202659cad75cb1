#include "core/system/DynamicData.h"
#include "monitor/CpuSampler.h"
#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

TEST(CpuSampler, ReadingsFromTheKernelCounters)
{
    FakeSystemCounters counters;
    counters.steadyLoadPercent.reset();
    RecordingReporter reporter;
    CpuSampler sampler(counters, nullptr, reporter);
    EXPECT_TRUE(sampler.isNTPlatform());
    counters.pass(1.0, 1.5); // two processors
    EXPECT_EQ(sampler.CurrentCPUUsage(), 25);
    counters.now.processors = 1;
    counters.pass(1.0, 0.2);
    EXPECT_EQ(sampler.CurrentCPUUsage(), 80);
}

TEST(CpuSampler, AFailedQueryReadsZeroAndTheNextReadingCoversTheWholeGap)
{
    FakeSystemCounters counters;
    counters.steadyLoadPercent.reset();
    RecordingReporter reporter;
    CpuSampler sampler(counters, nullptr, reporter);
    counters.pass(1.0, 2.0);
    counters.failing = true;
    EXPECT_EQ(sampler.CurrentCPUUsage(), 0);
    counters.failing = false;
    counters.pass(1.0, 0.0); // two seconds in all, idle 2 of 4 processor-seconds
    EXPECT_EQ(sampler.CurrentCPUUsage(), 50);
    EXPECT_TRUE(reporter.errors.empty());
}

// Kernel counters that only move when the test says so.
class KernelCountersTest : public ::testing::Test {
protected:
    KernelCountersTest() { counters.steadyLoadPercent.reset(); }
    FakeSystemCounters counters;
    RecordingReporter reporter;
};

TEST_F(KernelCountersTest, CountersThatGoBackReadZeroAndTheNextReadingStartsFromThem)
{
    counters.pass(100.0, 150.0);
    CpuSampler sampler(counters, nullptr, reporter);
    counters.now.idleTime = 0; // the idle counter starts again, the clock goes on
    counters.pass(1.0, 0.5);
    EXPECT_EQ(sampler.CurrentCPUUsage(), 0);
    counters.pass(1.0, 0.5); // idle 0.5 of 2 processor-seconds
    EXPECT_EQ(sampler.CurrentCPUUsage(), 75);
    counters.now.systemTime -= 50'000'000; // the clock goes back
    EXPECT_EQ(sampler.CurrentCPUUsage(), 0);
    counters.pass(1.0, 1.0);
    EXPECT_EQ(sampler.CurrentCPUUsage(), 50);
    EXPECT_TRUE(reporter.errors.empty());
}

TEST_F(KernelCountersTest, AnIdleTimeNoClockCouldHoldIsAnOverflowReported)
{
    CpuSampler sampler(counters, nullptr, reporter);
    counters.now.processors = 1;
    counters.now.idleTime = 4'000'000'000'000'000'000;
    counters.now.systemTime = 1;
    EXPECT_EQ(sampler.CurrentCPUUsage(), 0);
    ASSERT_EQ(reporter.errors.size(), 1u);
    EXPECT_EQ(reporter.errors[0].number, 6);
}

class FakeDynamicData : public DynamicData {
public:
    std::vector<std::string> calls;
    std::map<std::string, std::uint32_t> values;
    bool openKey(const std::string& subKey) override
    {
        calls.push_back("open " + subKey);
        return values.count(subKey) != 0;
    }
    std::optional<std::uint32_t> queryValue(const std::string& subKey, const std::string&) override
    {
        calls.push_back("query " + subKey);
        const auto it = values.find(subKey);
        return it == values.end() ? std::nullopt : std::optional<std::uint32_t>(it->second);
    }
    void closeKey(const std::string& subKey) override { calls.push_back("close " + subKey); }
};

TEST(CpuSampler, ThePublishedStatisticsOfThe9xFamily)
{
    FakeSystemCounters counters;
    counters.platform = 1;
    FakeDynamicData data;
    data.values = {{"PerfStats\\StartStat", 0}, {"PerfStats\\StatData", 42}, {"PerfStats\\StopStat", 0}};
    RecordingReporter reporter;
    CpuSampler sampler(counters, &data, reporter);
    EXPECT_FALSE(sampler.isNTPlatform());
    EXPECT_EQ(sampler.CurrentCPUUsage(), 42);
    data.values.erase("PerfStats\\StatData");
    EXPECT_EQ(sampler.CurrentCPUUsage(), 42) << "a failed query keeps the last value";
    sampler.Class_Terminate();
    EXPECT_EQ(data.calls,
              (std::vector<std::string>{"open PerfStats\\StartStat", "query PerfStats\\StartStat",
                                        "close PerfStats\\StartStat", "open PerfStats\\StatData",
                                        "query PerfStats\\StatData", "query PerfStats\\StatData",
                                        "close PerfStats\\StatData", "open PerfStats\\StopStat",
                                        "query PerfStats\\StopStat", "close PerfStats\\StopStat"}));
    FakeDynamicData none;
    CpuSampler without(counters, &none, reporter);
    EXPECT_EQ(without.CurrentCPUUsage(), 0) << "statistics that cannot be opened read 0";
}

class CpuMeterTest : public ::testing::Test, public FormHarness {
protected:
    int litRows()
    {
        int rows = 0;
        for (int k = 1; k <= 17; ++k) {
            const int y = 10 + 5 * k;
            const bool left = form.cpu.picCPU.pixel(30, y) == CpuMeter::litColour;
            const bool right = form.cpu.picCPU.pixel(90, y) == CpuMeter::litColour;
            EXPECT_EQ(left, right) << y;
            rows += left;
        }
        return rows;
    }
};

TEST_F(CpuMeterTest, ReadingsLightRowsFromTheBottom)
{
    form.Form_Load();
    for (const auto& [percent, rows] : std::vector<std::pair<int, int>>{{50, 8}, {53, 9}, {3, 1}, {100, 17}, {0, 0}}) {
        form.cpu.drawCPUGraph(percent);
        EXPECT_EQ(litRows(), rows) << percent;
    }
    form.cpu.drawCPUGraph(50);
    EXPECT_EQ(form.cpu.picCPU.pixel(30, 95), CpuMeter::litColour) << "the bottom row first";
    EXPECT_EQ(form.cpu.picCPU.pixel(30, 55), CpuMeter::unlitColour) << "unlit rows from cpuback.bmp";
    EXPECT_EQ(form.cpu.picCPU.pixel(62, 95), colours::black) << "the gap between the columns";
}

TEST_F(CpuMeterTest, AReadingThatLightsTheSameRowsRepaintsNothing)
{
    form.Form_Load();
    int repaints = 0;
    form.cpu.picCPU.changed.connect([&] { ++repaints; });
    form.cpu.drawCPUGraph(50);
    form.cpu.drawCPUGraph(47); // 8 rows, as 50
    EXPECT_EQ(repaints, 1);
    form.cpu.drawCPUGraph(53);
    EXPECT_EQ(repaints, 2);
    EXPECT_EQ(litRows(), 9);
}

TEST_F(CpuMeterTest, TheMeterShowsNothingBusyUntilItsFirstWholePeriod)
{
    counters.steadyLoadPercent = 100; // the start itself keeps the processor busy
    form.Form_Load();
    EXPECT_EQ(form.cpu.lblCPU.caption(), "0%");
    counters.steadyLoadPercent = 30;
    scheduler.advance(1000);
    EXPECT_EQ(form.cpu.lblCPU.caption(), "30%");
}

TEST_F(CpuMeterTest, TheTickShowsTheReading)
{
    form.Form_Load();
    counters.steadyLoadPercent = 42;
    scheduler.advance(1000);
    EXPECT_EQ(form.cpu.lblCPU.caption(), "42%");
    EXPECT_EQ(litRows(), 7);
    counters.steadyLoadPercent = 100;
    scheduler.advance(1000);
    EXPECT_EQ(form.cpu.lblCPU.caption(), "100%");
    EXPECT_EQ(form.cpu.lastCPUPercent(), 100);
}

TEST_F(CpuMeterTest, TheSpeedOptionSetsThePeriodAndIsStored)
{
    form.Form_Load();
    EXPECT_EQ(form.startup.optCPU.selected(), 2) << "Faster by default";
    EXPECT_EQ(profile.written("Startup", "CPUUpdate"), "2");
    form.startup.optCPU.userClick(0);
    EXPECT_EQ(form.cpu.tmrCPU.interval(), 5000u);
    EXPECT_EQ(profile.written("Startup", "CPUUpdate"), "0");
    form.startup.optCPU.userClick(1);
    EXPECT_EQ(form.cpu.tmrCPU.interval(), 2000u);

    FormHarness h;
    h.profile.store("Startup", "CPUUpdate", "fast");
    h.form.Form_Load();
    EXPECT_EQ(h.form.startup.optCPU.selected(), -1);
    EXPECT_EQ(h.form.cpu.tmrCPU.interval(), 1000u);
}

TEST_F(CpuMeterTest, TheShutdownReleasesTheSampler)
{
    form.Form_Load();
    ASSERT_NE(form.cpu.sampler(), nullptr);
    form.cmdExit.userClick();
    EXPECT_EQ(form.cpu.sampler(), nullptr);
}

} // namespace
} // namespace nimbrel
