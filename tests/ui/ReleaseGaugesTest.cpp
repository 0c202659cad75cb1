// The gauges and the CPU meter of the Release RAM panel on a 512 MB machine
// with 100 MB available and 900 of 1536 MB of page file free.

#include "PanelTestSupport.h"

#include "ui/qt/SurfaceWidget.h"

#include <QLabel>
#include <QPushButton>

#include <set>

namespace nimbrel::testing {
namespace {

const QColor barLit(85, 173, 247);
const QColor meterLit(0, 255, 0);

class ReleaseGaugesTest : public PanelTest {
protected:
    ReleaseGaugesTest() : PanelTest("fmRAM") {}

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

TEST_F(ReleaseGaugesTest, TheBarsStandInsideTheirFrames)
{
    EXPECT_TRUE(
        child<QFrame>("shpProgress0").geometry().contains(child<view::SurfaceWidget>("picPProgress").geometry()));
    EXPECT_TRUE(
        child<QFrame>("shpProgress1").geometry().contains(child<view::SurfaceWidget>("picVProgress").geometry()));
}

TEST_F(ReleaseGaugesTest, EachBarShowsItsFigureAbove)
{
    EXPECT_EQ(child<QLabel>("lblPProgress").text(), "Physical Memory");
    EXPECT_EQ(child<QLabel>("lblPPercent").text(), "19% Available");
    EXPECT_EQ(child<QLabel>("lblVProgress").text(), "Page File Memory");
    EXPECT_EQ(child<QLabel>("lblVPercent").text(), "59% Available");
    for (QLabel* label : {&child<QLabel>("lblPProgress"), &child<QLabel>("lblPPercent")}) {
        EXPECT_LE(label->geometry().bottom(), child<QFrame>("shpProgress0").geometry().top())
            << label->objectName().toStdString();
    }
    for (QLabel* label : {&child<QLabel>("lblVProgress"), &child<QLabel>("lblVPercent")}) {
        EXPECT_LE(label->geometry().bottom(), child<QFrame>("shpProgress1").geometry().top())
            << label->objectName().toStdString();
        EXPECT_GE(label->geometry().top(), child<QFrame>("shpProgress0").geometry().bottom())
            << label->objectName().toStdString();
    }
}

TEST_F(ReleaseGaugesTest, TheBarsLightTheirShareOfSegments)
{
    EXPECT_EQ(differences(child<view::SurfaceWidget>("picPProgress"), form.gauges.picPProgress), 0);
    EXPECT_EQ(differences(child<view::SurfaceWidget>("picVProgress"), form.gauges.picVProgress), 0);
    EXPECT_EQ(litSegments(child<view::SurfaceWidget>("picPProgress")),
              11); // 19 %: fill 665 twips, segments at 60 ... 660
    EXPECT_EQ(litSegments(child<view::SurfaceWidget>("picVProgress")),
              34); // 59 %: fill 2065 twips, segments at 60 ... 2040
}

TEST_F(ReleaseGaugesTest, TheBarsFollowTheNextSample)
{
    harness.memory.setMB(512, 400, 1536, 900);

    harness.scheduler.advance(1000);

    EXPECT_EQ(child<QLabel>("lblPPercent").text(), "78% Available");
    EXPECT_EQ(differences(child<view::SurfaceWidget>("picPProgress"), form.gauges.picPProgress), 0);
    EXPECT_EQ(litSegments(child<view::SurfaceWidget>("picPProgress")), 45);
}

TEST_F(ReleaseGaugesTest, TheCpuMeterLightsItsRowsAfterATick)
{
    EXPECT_EQ(child<QLabel>("lblCPUUsage").text(), "CPU Usage");
    EXPECT_EQ(child<view::SurfaceWidget>("picCPU").size(), QSize(129, 113));
    EXPECT_EQ(pixelsNear(picture(child<view::SurfaceWidget>("picCPU")), meterLit, 0), 0);

    harness.scheduler.advance(1000);

    EXPECT_EQ(child<QLabel>("lblCPU").text(), "50%");
    // 8 rows of two segments of 50 pixels each.
    EXPECT_EQ(pixelsNear(picture(child<view::SurfaceWidget>("picCPU")), meterLit, 0), 800);
    EXPECT_EQ(differences(child<view::SurfaceWidget>("picCPU"), form.cpu.picCPU), 0);
}

TEST_F(ReleaseGaugesTest, TheMeterStandsAtTheTopRightAboveTheBars)
{
    const QRect meter = child<view::SurfaceWidget>("picCPU").geometry();
    EXPECT_EQ(meter.right(), child<QLabel>("lblCPU").geometry().right());
    EXPECT_LE(child<QLabel>("lblCPUUsage").geometry().bottom(), meter.top());
    EXPECT_LE(child<QLabel>("lblCPU").geometry().bottom(), meter.top());
    EXPECT_LT(meter.bottom(), child<QLabel>("lblPPercent").geometry().top());
    EXPECT_GE(frame.width() - meter.right(), 8);
}

TEST_F(ReleaseGaugesTest, NothingCoversTheAmountListOrTheButton)
{
    const QList<QWidget*> widgets{
        &child<QListView>("lstRam"),    &child<QPushButton>("cmdRam"),  &child<view::SurfaceWidget>("picCPU"),
        &child<QLabel>("lblCPU"),       &child<QLabel>("lblCPUUsage"),  &child<QFrame>("shpProgress0"),
        &child<QFrame>("shpProgress1"), &child<QLabel>("lblPProgress"), &child<QLabel>("lblVProgress")};
    EXPECT_EQ(layoutFaults(frame, widgets), std::vector<std::string>{});
}

TEST_F(ReleaseGaugesTest, NoCaptionIsCutOff)
{
    EXPECT_EQ(cutOffCaptions(frame), std::vector<std::string>{});
}

} // namespace
} // namespace nimbrel::testing
