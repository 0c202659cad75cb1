// The gauges and the CPU meter of the Release RAM panel on a 512 MB machine
// with 100 MB available and 900 of 1536 MB of page file free.

#include "PanelTestSupport.h"

#include "ui/qt/ReleaseMonitor.h"
#include "ui/qt/ReleasePanel.h"
#include "ui/qt/SurfaceWidget.h"

#include <QLabel>
#include <QPushButton>

#include <set>

namespace nimbrel::testing {
namespace {

const QColor barLit(85, 173, 247);
const QColor meterLit(0, 255, 0);

class ReleaseMonitorTest : public PanelTest<view::ReleaseMonitor> {
protected:
    void SetUp() override
    {
        harness.counters.steadyLoadPercent = 50.0;
        PanelTest::SetUp();
    }

    // The columns of the bar that show a lit segment.
    static int litSegments(view::SurfaceWidget& bar)
    {
        const QImage image = picture(bar);
        std::set<int> columns;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == barLit) columns.insert(x);
            }
        }
        return static_cast<int>(columns.size());
    }
};

TEST_F(ReleaseMonitorTest, TheBarsStandInsideTheirFrames)
{
    EXPECT_TRUE(panel->shpProgress[0]->geometry().contains(panel->picPProgress->geometry()));
    EXPECT_TRUE(panel->shpProgress[1]->geometry().contains(panel->picVProgress->geometry()));
}

TEST_F(ReleaseMonitorTest, EachBarShowsItsFigureAbove)
{
    EXPECT_EQ(panel->lblPProgress->text(), "Physical Memory");
    EXPECT_EQ(panel->lblPPercent->text(), "19% Available");
    EXPECT_EQ(panel->lblVProgress->text(), "Page File Memory");
    EXPECT_EQ(panel->lblVPercent->text(), "59% Available");
    for (QLabel* label : {panel->lblPProgress, panel->lblPPercent}) {
        EXPECT_LE(label->geometry().bottom(), panel->shpProgress[0]->geometry().top())
            << label->objectName().toStdString();
    }
    for (QLabel* label : {panel->lblVProgress, panel->lblVPercent}) {
        EXPECT_LE(label->geometry().bottom(), panel->shpProgress[1]->geometry().top())
            << label->objectName().toStdString();
        EXPECT_GE(label->geometry().top(), panel->shpProgress[0]->geometry().bottom())
            << label->objectName().toStdString();
    }
}

TEST_F(ReleaseMonitorTest, TheBarsLightTheirShareOfSegments)
{
    EXPECT_EQ(differences(*panel->picPProgress, form.gauges.picPProgress), 0);
    EXPECT_EQ(differences(*panel->picVProgress, form.gauges.picVProgress), 0);
    EXPECT_EQ(litSegments(*panel->picPProgress), 11); // 19 %: fill 665 twips, segments at 60 ... 660
    EXPECT_EQ(litSegments(*panel->picVProgress), 34); // 59 %: fill 2065 twips, segments at 60 ... 2040
}

TEST_F(ReleaseMonitorTest, TheBarsFollowTheNextSample)
{
    harness.memory.setMB(512, 400, 1536, 900);

    harness.scheduler.advance(1000);

    EXPECT_EQ(panel->lblPPercent->text(), "78% Available");
    EXPECT_EQ(differences(*panel->picPProgress, form.gauges.picPProgress), 0);
    EXPECT_EQ(litSegments(*panel->picPProgress), 45);
}

TEST_F(ReleaseMonitorTest, TheCpuMeterLightsItsRowsAfterATick)
{
    EXPECT_EQ(panel->lblCPUUsage->text(), "CPU Usage");
    EXPECT_EQ(panel->picCPU->size(), QSize(129, 113));
    EXPECT_EQ(pixelsNear(picture(*panel->picCPU), meterLit, 0), 0);

    harness.scheduler.advance(1000);

    EXPECT_EQ(panel->lblCPU->text(), "50%");
    // 8 rows of two segments of 50 pixels each.
    EXPECT_EQ(pixelsNear(picture(*panel->picCPU), meterLit, 0), 800);
    EXPECT_EQ(differences(*panel->picCPU, form.cpu.picCPU), 0);
}

TEST_F(ReleaseMonitorTest, TheMeterStandsAtTheTopRightAboveTheBars)
{
    const QRect meter = panel->picCPU->geometry();
    EXPECT_EQ(meter.right(), panel->lblCPU->geometry().right());
    EXPECT_LE(panel->lblCPUUsage->geometry().bottom(), meter.top());
    EXPECT_LE(panel->lblCPU->geometry().bottom(), meter.top());
    EXPECT_LT(meter.bottom(), panel->lblPPercent->geometry().top());
    EXPECT_GE(frame.width() - meter.right(), 8);
}

TEST_F(ReleaseMonitorTest, NothingCoversTheAmountListOrTheButton)
{
    const view::ReleasePanel release(frame, form);
    const QList<QWidget*> widgets{release.lstRam,        release.cmdRam,      panel->picCPU,
                                  panel->lblCPU,         panel->lblCPUUsage,  panel->shpProgress[0],
                                  panel->shpProgress[1], panel->lblPProgress, panel->lblVProgress};
    EXPECT_EQ(layoutFaults(frame, widgets), std::vector<std::string>{});
}

TEST_F(ReleaseMonitorTest, NoCaptionIsCutOff)
{
    EXPECT_EQ(cutOffCaptions(frame), std::vector<std::string>{});
}

} // namespace
} // namespace nimbrel::testing
