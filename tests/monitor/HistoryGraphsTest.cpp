#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

class HistoryGraphsTest : public ::testing::Test, public FormHarness {
protected:
    HistoryGraphs& graphs() { return form.graphs; }
    const std::string graphBack = "/opt/nimbrel/graphback.bmp";
    const std::string cpuBack = "/opt/nimbrel/cpuback.bmp";
};

TEST_F(HistoryGraphsTest, AMissingGridIsDrawnSavedAndLoadedForBothGraphs)
{
    form.Form_Load();
    ASSERT_EQ(pictures.files.count(graphBack), 1u);
    const Picture& grid = pictures.files[graphBack];
    EXPECT_EQ(grid.width, 365);
    EXPECT_EQ(grid.height, 69);
    for (int x = 20; x <= 340; x += 20) {
        EXPECT_EQ(grid.at(x, 0), HistoryGraphs::gridColour) << x;
        EXPECT_EQ(grid.at(x, 68), HistoryGraphs::gridColour) << x;
    }
    for (int y = 10; y <= 60; y += 10) {
        EXPECT_EQ(grid.at(0, y), HistoryGraphs::gridColour) << y;
        EXPECT_EQ(grid.at(364, y), HistoryGraphs::gridColour) << y;
    }
    EXPECT_EQ(grid.at(21, 11), colours::black);
    EXPECT_EQ(graphs().picPhysical.background(), grid);
    EXPECT_EQ(graphs().picVirtual.background(), grid);
    EXPECT_EQ(graphs().picVirtual.pixel(40, 5), HistoryGraphs::gridColour);
    EXPECT_EQ(pictures.files.count(cpuBack), 1u);

    FormHarness second;
    second.pictures.files = pictures.files;
    second.form.Form_Load();
    EXPECT_EQ(second.pictures.saves, 0) << "a later start loads what is there";
}

TEST_F(HistoryGraphsTest, AUsersOwnBitmapShowsBehindTheCurves)
{
    Picture own(365, 69, rgb(10, 20, 30));
    pictures.files[graphBack] = own;
    form.Form_Load();
    EXPECT_EQ(pictures.saves, 1) << "only cpuback.bmp was missing";
    EXPECT_EQ(graphs().picPhysical.pixel(100, 30), rgb(10, 20, 30));
}

TEST_F(HistoryGraphsTest, AGridThatCannotBeSavedIsStillDrawnOnBothGraphs)
{
    pictures.unwritable = {graphBack};
    form.Form_Load();
    EXPECT_EQ(graphs().picPhysical.pixel(20, 30), HistoryGraphs::gridColour);
    EXPECT_EQ(graphs().picVirtual.pixel(20, 30), HistoryGraphs::gridColour);
    int initGraphErrors = 0;
    for (const ReportedError& e : reporter.errors) initGraphErrors += e.tag == "frmMain,initGraph";
    EXPECT_EQ(initGraphErrors, 1) << "the save";
}

TEST_F(HistoryGraphsTest, ABrokenBitmapIsReportedThenDrawnAgainAndWrittenBack)
{
    pictures.broken = {graphBack, cpuBack};
    form.Form_Load();
    ASSERT_GE(reporter.errors.size(), 2u);
    EXPECT_EQ(reporter.errors[0].number, 481);
    EXPECT_EQ(reporter.errors[0].tag, "frmMain,initGraph");
    EXPECT_EQ(reporter.errors[1].number, 481) << "cpuback.bmp";
    EXPECT_EQ(graphs().picPhysical.pixel(20, 30), HistoryGraphs::gridColour);
    EXPECT_EQ(graphs().picVirtual.pixel(20, 30), HistoryGraphs::gridColour);
    EXPECT_EQ(form.cpu.picCPU.pixel(30, 55), CpuMeter::unlitColour) << "the meter's unlit rows";
    EXPECT_EQ(pictures.saves, 2) << "both pictures written back";

    FormHarness next;
    next.pictures.files = pictures.files;
    next.form.Form_Load();
    EXPECT_TRUE(next.reporter.errors.empty()) << "the next start loads what was written back";
}

TEST_F(HistoryGraphsTest, TheFirstSampleDrawsNothingAndTheSecondOneSegment)
{
    memory.setMB(512, 513, 1536, 0);
    form.Form_Load();
    scheduler.advance(1000);
    auto curvePixels = [&] {
        int n = 0;
        for (int x = 0; x < 365; ++x) {
            for (int y = 0; y < 70; ++y) n += graphs().picPhysical.pixel(x, y) == HistoryGraphs::physicalColour;
        }
        return n;
    };
    EXPECT_EQ(curvePixels(), 0);
    scheduler.advance(1000);
    EXPECT_EQ(curvePixels(), 1);
    EXPECT_EQ(graphs().picPhysical.pixel(363, 0), HistoryGraphs::physicalColour) << "100 % on the top edge";
    EXPECT_EQ(graphs().picVirtual.pixel(363, 69), HistoryGraphs::pageFileColour) << "0 % on the bottom edge";
}

TEST_F(HistoryGraphsTest, After365SamplesTheOldestIsDropped)
{
    form.Form_Load();
    for (int i = 0; i < 366; ++i) {
        memory.snapshot.availPhys = static_cast<std::uint64_t>(i % 2 == 0 ? 513 : 0) * MB;
        scheduler.advance(1000);
    }
    // Samples alternate 100 % and 0 %; 366 of them leave the second to the last.
    EXPECT_EQ(graphs().physicalHistory[0], 0) << "the first sample (100 %) is gone";
    EXPECT_EQ(graphs().physicalHistory[1], 69);
    EXPECT_EQ(graphs().physicalHistory[364], 0);
}

TEST_F(HistoryGraphsTest, TheIntervalIsStoredAndSelectedAgainAtTheNextStart)
{
    form.Form_Load();
    EXPECT_EQ(graphs().cmbUpdateGraph.text(), "1.5 Seconds");
    EXPECT_EQ(profile.written("Memory", "GraphInterval"), "1.5") << "written back at every start";
    graphs().cmbUpdateGraph.userSelect(5);
    EXPECT_EQ(profile.written("Memory", "GraphInterval"), "120");
    EXPECT_EQ(graphs().graphInterval(), 120.0);

    FormHarness next;
    next.profile.values = profile.values;
    next.form.Form_Load();
    EXPECT_EQ(next.form.graphs.cmbUpdateGraph.text(), "2 Minutes");
}

TEST_F(HistoryGraphsTest, AStoredValueWithoutAnEntrySelectsTheFirst)
{
    profile.store("Memory", "GraphInterval", "2");
    form.Form_Load();
    EXPECT_EQ(graphs().cmbUpdateGraph.listIndex(), 0);
    EXPECT_EQ(profile.written("Memory", "GraphInterval"), "1.5");
    EXPECT_TRUE(reporter.errors.empty());
}

TEST_F(HistoryGraphsTest, TheMegabyteScales)
{
    memory.setMB(512, 100, 1536, 900);
    form.Form_Load();
    const char* expected[] = {"0 MB", "171 MB", "342 MB", "513 MB"};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(graphs().physicalScale[k].label.caption(), expected[k]);
    EXPECT_DOUBLE_EQ(graphs().physicalScale[0].lineY, HistoryGraphs::physicalTop + HistoryGraphs::graphHeight);
    EXPECT_DOUBLE_EQ(graphs().physicalScale[3].lineY, HistoryGraphs::physicalTop);
    EXPECT_DOUBLE_EQ(graphs().physicalScale[3].labelTop, HistoryGraphs::physicalTop - 97.5);

    FormHarness h;
    h.memory.setMB(513.2, 100, 1536, 900); // 514 with the added one
    h.form.Form_Load();
    EXPECT_EQ(h.form.graphs.physicalScale[3].label.caption(), "513 MB");
    EXPECT_EQ(h.form.graphs.pageFileScale[1].label.caption(), "512 MB");
}

} // namespace
} // namespace nimbrel
