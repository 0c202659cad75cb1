// The History Graphs panel on a 512 MB machine with 1536 MB of page file.

#include "PanelTestSupport.h"

#include "ui/qt/SurfaceWidget.h"

#include <QLabel>

namespace nimbrel::testing {
namespace {

class GraphsPanelTest : public PanelTest {
protected:
    GraphsPanelTest() : PanelTest("fmGraph") {}

    void SetUp() override
    {
        PanelTest::SetUp();
        QCoreApplication::processEvents(); // the scales settle once the load sequence is over
    }

    // The four marks of a scale, from the bottom.
    template <typename Widget> std::array<Widget*, 4> marks(const QString& name)
    {
        std::array<Widget*, 4> shown{};
        for (int k = 0; k < 4; ++k)
            shown[static_cast<std::size_t>(k)] = &child<Widget>(name + QString::number(k));
        return shown;
    }

    static std::vector<std::string> captions(const std::array<QLabel*, 4>& labels)
    {
        std::vector<std::string> texts;
        for (QLabel* label : labels)
            texts.push_back(label->text().toStdString());
        return texts;
    }
};

TEST_F(GraphsPanelTest, ShowsTheCaptions)
{
    EXPECT_EQ(child<QLabel>("lblPhysicalGraph").text(), "Available Physical Memory Graph:");
    EXPECT_EQ(child<QLabel>("lblVirtualGraph").text(), "Available Page File Memory Graph:");
    EXPECT_EQ(child<QLabel>("lblUpdateGraph").text(), "Graphs Update Interval");
    // Each caption above its graph.
    EXPECT_LE(child<QLabel>("lblPhysicalGraph").geometry().bottom(),
              child<view::SurfaceWidget>("picPhysical").geometry().top());
    EXPECT_LE(child<QLabel>("lblVirtualGraph").geometry().bottom(),
              child<view::SurfaceWidget>("picVirtual").geometry().top());
    EXPECT_LE(child<view::SurfaceWidget>("picPhysical").geometry().bottom(),
              child<QLabel>("lblVirtualGraph").geometry().top());
}

TEST_F(GraphsPanelTest, TheScalesRunFromNothingToTheTotals)
{
    EXPECT_EQ(captions(marks<QLabel>("lblP")), (std::vector<std::string>{"0 MB", "171 MB", "342 MB", "513 MB"}));
    EXPECT_EQ(captions(marks<QLabel>("lblV")), (std::vector<std::string>{"0 MB", "512 MB", "1024 MB", "1536 MB"}));
}

TEST_F(GraphsPanelTest, EachScaleMarkStandsBesideItsGraphFromBottomToTop)
{
    const struct {
        view::SurfaceWidget* graph;
        std::array<QLabel*, 4> labels;
        std::array<QFrame*, 4> lines;
    } scales[] = {{&child<view::SurfaceWidget>("picPhysical"), marks<QLabel>("lblP"), marks<QFrame>("lnP")},
                  {&child<view::SurfaceWidget>("picVirtual"), marks<QLabel>("lblV"), marks<QFrame>("lnV")}};
    for (const auto& s : scales) {
        const QRect graph = s.graph->geometry();
        EXPECT_EQ(graph.size(), QSize(365, 70));
        // Each mark is two pixels thick, centred on its place (its second row): at 1.5x every mark covers three
        // whole screen pixels, as thick as the others.
        const auto place = [&](std::size_t k) { return s.lines[k]->y() + 1; };
        EXPECT_EQ(place(0), graph.bottom() + 1); // the bottom edge
        EXPECT_EQ(place(3), graph.top());        // the top edge
        for (std::size_t k = 0; k < 4; ++k) {
            const QRect line = s.lines[k]->geometry();
            const QRect label = s.labels[k]->geometry();
            EXPECT_EQ(line.height(), 2) << k;
            EXPECT_GT(line.left(), graph.right()) << k;
            EXPECT_GT(label.left(), line.right()) << k;
            EXPECT_LE(std::abs(label.center().y() - place(k)), 1) << k;
            EXPECT_TRUE(frame.rect().contains(label)) << k;
            if (k > 0) {
                EXPECT_LT(line.y(), s.lines[k - 1]->y()) << k;
            }
        }
    }
}

TEST_F(GraphsPanelTest, TheGraphsShowTheGridAndThenTheCurve)
{
    EXPECT_EQ(differences(child<view::SurfaceWidget>("picPhysical"), form.graphs.picPhysical), 0);
    const QColor grid(0, 128, 0);
    const QColor physicalCurve(0, 255, 0);
    EXPECT_GT(pixelsNear(picture(child<view::SurfaceWidget>("picPhysical")), grid, 0), 0);
    EXPECT_EQ(pixelsNear(picture(child<view::SurfaceWidget>("picPhysical")), physicalCurve, 0), 0);

    harness.scheduler.advance(2000); // two samples: one segment at the right edge

    EXPECT_EQ(differences(child<view::SurfaceWidget>("picPhysical"), form.graphs.picPhysical), 0);
    EXPECT_GT(pixelsNear(picture(child<view::SurfaceWidget>("picPhysical")), physicalCurve, 0), 0);
    EXPECT_EQ(differences(child<view::SurfaceWidget>("picVirtual"), form.graphs.picVirtual), 0);
    EXPECT_GT(pixelsNear(picture(child<view::SurfaceWidget>("picVirtual")), QColor(128, 255, 128), 0), 0);
}

TEST_F(GraphsPanelTest, TheGraphsTooltipsShowTheLastValues)
{
    harness.scheduler.advance(1000);

    EXPECT_EQ(child<view::SurfaceWidget>("picPhysical").toolTip(), "Last Value = 100 MB");
    EXPECT_EQ(child<view::SurfaceWidget>("picVirtual").toolTip(), "Last Value = 900 MB");
}

TEST_F(GraphsPanelTest, TheChosenUpdateIntervalIsStored)
{
    EXPECT_EQ(entries(child<QComboBox>("cmbUpdateGraph")),
              (std::vector<std::string>{"1.5 Seconds", "3 Seconds", "6 Seconds", "30 Seconds", "1 Minute", "2 Minutes",
                                        "5 Minutes", "10 Minutes"}));
    EXPECT_EQ(child<QComboBox>("cmbUpdateGraph").currentText(), "1.5 Seconds");

    choose(child<QComboBox>("cmbUpdateGraph"), 5);

    EXPECT_EQ(form.graphs.graphInterval(), 120.0);
    EXPECT_EQ(harness.profile.written("Memory", "GraphInterval"), std::optional<std::string>("120"));
}

TEST_F(GraphsPanelTest, NoCaptionIsCutOff)
{
    EXPECT_EQ(cutOffCaptions(frame), std::vector<std::string>{});
}

} // namespace
} // namespace nimbrel::testing
