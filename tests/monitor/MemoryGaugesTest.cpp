#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

class MemoryGaugesTest : public ::testing::Test, public FormHarness {
protected:
    // Whether the segment at x twips of a bar is lit, unlit, or not a segment at all.
    static Colour segmentAt(DrawingSurface& bar, int xTwips) { return bar.pixel(xTwips / 15, 8); }
    void setAvailableMB(double mb) { memory.snapshot.availPhys = static_cast<std::uint64_t>(mb * MB); }
};

TEST_F(MemoryGaugesTest, ThirtySevenPercentLightsTheSegmentsBelowTheFill)
{
    form.Form_Load();
    form.gauges.drawProgressBar(37, 0);
    DrawingSurface& bar = form.gauges.picPProgress;
    for (int x = 60; x <= 1260; x += 60) EXPECT_EQ(segmentAt(bar, x), MemoryGauges::litColour) << x;
    for (int x = 1320; x < 3500; x += 60) EXPECT_EQ(segmentAt(bar, x), MemoryGauges::unlitColour) << x;
    EXPECT_EQ(bar.pixel(1290 / 15, 8), MemoryGauges::barBackColour) << "the background shows in the gaps";
    for (int x = 60; x < 3500; x += 60) {
        EXPECT_EQ(segmentAt(form.gauges.picVProgress, x), MemoryGauges::unlitColour) << "0 % is all unlit";
    }
    form.gauges.drawProgressBar(100, 100);
    for (int x = 60; x < 3500; x += 60) EXPECT_EQ(segmentAt(bar, x), MemoryGauges::litColour) << x;
}

TEST_F(MemoryGaugesTest, TheTickShowsCaptionPercentagesTooltipsAndASample)
{
    memory.setMB(512, 189.6, 1536, 768);
    form.Form_Load();
    scheduler.advance(1000);
    EXPECT_EQ(form.frmMain.caption(), "Nimbrel 189.6 MB");
    EXPECT_EQ(form.gauges.lblPPercent.caption(), "37% Available"); // 190 of 513
    EXPECT_EQ(form.gauges.lblVPercent.caption(), "50% Available"); // 768 of 1537
    EXPECT_EQ(form.graphs.picPhysical.toolTip(), "Last Value = 189.6 MB");
    EXPECT_EQ(form.graphs.picVirtual.toolTip(), "Last Value = 768 MB");
    EXPECT_EQ(form.graphs.physicalHistory[364], 26); // 37 x 0.69 = 25.53
    EXPECT_EQ(form.graphs.pageFileHistory[364], 34); // 50 x 0.69 = 34.5, halves to even
    EXPECT_EQ(form.graphs.physicalHistory[363], -1);
    EXPECT_EQ(form.gauges.lastPhysicalPercent(), 37);
}

TEST_F(MemoryGaugesTest, SwapAddedWhileRunningMovesTheTotalsWithTheFigures)
{
    // 512 MB of memory and 1 GB of swap, nearly all of it free; then another 1 GB of swap comes on.
    memory.setMB(512, 500, 1536, 1530);
    form.Form_Load();
    scheduler.advance(1000);
    EXPECT_EQ(form.amounts.lblVM.caption(), "Total Page File Memory: 1572864 KB");
    memory.setMB(512, 500, 2560, 2554);
    scheduler.advance(1000);
    EXPECT_EQ(form.gauges.lblVPercent.caption(), "100% Available"); // 2554 of 2561, not 2554 of 1537
    EXPECT_EQ(form.amounts.lblVM.caption(), "Total Page File Memory: 2621440 KB");
    EXPECT_EQ(form.amounts.lblPM.caption(), "Total Physical Memory: 524288 KB");
    EXPECT_EQ(form.graphs.pageFileScale[3].label.caption(), "2559 MB");
    EXPECT_EQ(form.graphs.pageFileHistory[364], 69);

    // Swap taken away again: the page file is memory alone.
    memory.setMB(512, 500, 512, 500);
    scheduler.advance(1000);
    EXPECT_EQ(form.gauges.lblVPercent.caption(), "97% Available"); // 500 of 513
    EXPECT_EQ(form.amounts.lblVM.caption(), "Total Page File Memory: 524288 KB");

    // A reading that fails is no reading of the totals.
    memory.beforeRead = [](MemorySnapshot&) { throw RuntimeError(5, "Invalid procedure call"); };
    scheduler.advance(1000);
    EXPECT_EQ(form.amounts.lblVM.caption(), "Total Page File Memory: 524288 KB");
    EXPECT_EQ(form.amounts.totalPageFileMB(), 513);
}

TEST_F(MemoryGaugesTest, TheCaptionShowsAtMostTwoDecimals)
{
    form.Form_Load();
    setAvailableMB(511.996);
    scheduler.advance(1000);
    EXPECT_EQ(form.frmMain.caption(), "Nimbrel 512 MB");
    EXPECT_EQ(form.graphs.picPhysical.toolTip(), "Last Value = 512 MB");
    setAvailableMB(511.994);
    scheduler.advance(1000);
    EXPECT_EQ(form.frmMain.caption(), "Nimbrel 511.99 MB");
}

TEST_F(MemoryGaugesTest, TheGraphIntervalGatesTheWholeTick)
{
    profile.store("Memory", "GraphInterval", "3");
    form.Form_Load();
    std::vector<std::uint64_t> passing;
    form.frmMain.changed.connect([&] { passing.push_back(scheduler.elapsedMs() / 1000); });
    for (int i = 0; i < 12; ++i) {
        setAvailableMB(100 + i);
        scheduler.advance(1000);
    }
    EXPECT_EQ(passing, (std::vector<std::uint64_t>{4, 8, 12})) << "more than 3 whole seconds each time";

    FormHarness h;
    h.profile.store("Memory", "GraphInterval", "600");
    h.form.Form_Load();
    const std::string first = h.form.frmMain.caption();
    h.memory.setMB(512, 200, 1536, 900);
    h.scheduler.advance(600'000);
    EXPECT_EQ(h.form.frmMain.caption(), first) << "unchanged for ten minutes";
    h.scheduler.advance(1000);
    EXPECT_EQ(h.form.frmMain.caption(), "Nimbrel 200 MB");
}

TEST_F(MemoryGaugesTest, TheEndOfSummerTimeDoesNotFreezeTheGatedCaption)
{
    profile.store("Memory", "GraphInterval", "3");
    form.Form_Load();
    scheduler.advance(4000);
    scheduler.setWallClockBy(-3600);
    setAvailableMB(200);
    scheduler.advance(4000);
    EXPECT_EQ(form.frmMain.caption(), "Nimbrel 200 MB");
}

TEST_F(MemoryGaugesTest, PauseFreezesTheCaptionAndResumeBringsItBackAtTheNextTick)
{
    form.Form_Load();
    form.cmdPause.userClick();
    scheduler.advance(5000);
    EXPECT_EQ(form.frmMain.caption(), "Nimbrel [Paused]");
    form.cmdPause.userClick();
    scheduler.advance(1000);
    EXPECT_EQ(form.frmMain.caption(), "Nimbrel 100 MB");
}

} // namespace
} // namespace nimbrel
