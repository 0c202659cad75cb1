// A drawing surface on the screen: its raster pixel for pixel, and its tooltip.

#include "UiTestSupport.h"

#include "core/controls/DrawingSurface.h"
#include "ui/qt/SurfaceWidget.h"

#include <QPainter>

namespace nimbrel::testing {
namespace {

QColor shown(Colour c)
{
    return QColor(red(c), green(c), blue(c));
}

class SurfaceWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A black raster with a grid line, a curve and a lone pixel of another colour.
        surface.line(0, 10, 41, 10, rgb(0, 128, 0));
        surface.line(3, 20, 30, 5, rgb(128, 255, 128));
        surface.line(39, 24, 40, 24, rgb(85, 173, 247));
        widget = std::make_unique<view::SurfaceWidget>(surface);
        widget->resize(widget->sizeHint());
        widget->show();
    }

    // Every pixel of the picture compared with the raster; the first difference, or "".
    std::string firstDifference(const QImage& image)
    {
        if (image.size() != QSize(surface.pixelWidth(), surface.pixelHeight())) return "size differs";
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != shown(surface.pixel(x, y))) {
                    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
                }
            }
        }
        return "";
    }

    DrawingSurface surface{41, 25, colours::black};
    std::unique_ptr<view::SurfaceWidget> widget;
};

TEST_F(SurfaceWidgetTest, IsAsLargeAsTheRaster)
{
    EXPECT_EQ(widget->sizeHint(), QSize(41, 25));
}

TEST_F(SurfaceWidgetTest, ShowsTheRasterPixelForPixel)
{
    const QImage image = picture(*widget);

    EXPECT_EQ(firstDifference(image), "");
    EXPECT_EQ(image.pixelColor(0, 10), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(39, 24), QColor(85, 173, 247)); // red, green and blue not swapped
    EXPECT_EQ(image.pixelColor(40, 24), Qt::black);
}

TEST_F(SurfaceWidgetTest, ShowsWhatIsDrawnLater)
{
    (void)picture(*widget);

    surface.line(0, 0, 41, 0, colours::white);

    const QImage image = picture(*widget);
    EXPECT_EQ(firstDifference(image), "");
    EXPECT_EQ(image.pixelColor(20, 0), Qt::white);

    surface.clear();
    EXPECT_EQ(pixelsNear(picture(*widget), Qt::black, 0), 41 * 25);
}

TEST_F(SurfaceWidgetTest, OnAScreenOfTwiceTheDensityEachPixelIsASharpSquareOfFour)
{
    QImage image(82, 50, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::magenta);
    widget->render(&image);

    int blended = 0;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 82; ++x) {
            if (image.pixelColor(x, y) != shown(surface.pixel(x / 2, y / 2))) ++blended;
        }
    }
    EXPECT_EQ(blended, 0);
}

TEST_F(SurfaceWidgetTest, ALargerWidgetScalesTheRasterWithoutBlending)
{
    widget->resize(123, 75);

    const QImage image = picture(*widget);

    int blended = 0;
    for (int y = 0; y < 75; ++y) {
        for (int x = 0; x < 123; ++x) {
            if (image.pixelColor(x, y) != shown(surface.pixel(x / 3, y / 3))) ++blended;
        }
    }
    EXPECT_EQ(blended, 0);
}

TEST_F(SurfaceWidgetTest, ShowsTheSurfacesTooltip)
{
    EXPECT_EQ(widget->toolTip(), "");

    surface.setToolTip("Last Value = 123.45 MB");
    EXPECT_EQ(widget->toolTip(), "Last Value = 123.45 MB");
}

TEST_F(SurfaceWidgetTest, TheSurfaceMayBeDrawnOnAfterTheWidgetIsGone)
{
    widget.reset();
    surface.line(0, 0, 10, 10, colours::white);
    surface.setToolTip("Last Value = 1 MB");
    EXPECT_EQ(surface.pixel(5, 5), colours::white);
}

} // namespace
} // namespace nimbrel::testing
