#include "ui/qt/TrayGaugeIcon.h"

#include <gtest/gtest.h>

#include <QColor>

namespace nimbrel::view {
namespace {

// The bar's column in the middle of its inside, counted from the bottom: how many pixels are lit, and in which colour.
struct Bar {
    int lit = 0;
    int inside = 0;
    QColor colour;
};

Bar barOf(const QImage& image)
{
    const int size = image.width();
    const int barWidth = std::max(3, size / 5 + 1);
    const int column = size - barWidth / 2 - 1;
    const QColor empty(235, 235, 235);
    Bar bar;
    bar.inside = size - 2;
    for (int y = size - 2; y >= 1; --y) {
        const QColor pixel = image.pixelColor(column, y);
        if (pixel == empty) break;
        bar.colour = pixel;
        ++bar.lit;
    }
    return bar;
}

TEST(TrayGaugeIcon, TheBarShowsTheShareInRedUnderTwentyPercentAndGreenFromThere)
{
    for (const int size : {16, 22, 24, 32, 44, 48}) {
        for (const int percent : {5, 19, 20, 50, 100}) {
            const QImage image = trayGaugeImage(percent, size);
            ASSERT_EQ(image.size(), QSize(size, size));
            const Bar bar = barOf(image);
            EXPECT_EQ(bar.lit, (bar.inside * percent + 50) / 100) << size << " px at " << percent << " %";
            const bool low = percent < 20;
            if (bar.lit > 0) {
                EXPECT_EQ(bar.colour.red() > bar.colour.green(), low) << size << " px at " << percent << " %";
            }
            // The frame closes the bar at the top and bottom edges of the picture: nothing clipped.
            EXPECT_EQ(image.pixelColor(size - 1, 0), QColor(20, 20, 20));
            EXPECT_EQ(image.pixelColor(size - 1, size - 1), QColor(20, 20, 20));
        }
    }
    EXPECT_GT(trayGaugeImage(5, 16).pixelColor(4, 8).alpha(), 0) << "the chip stays beside the bar";
    // At 16 pixels the bar has 14 inside: 5 % lights 1, 19 % and 20 % light 3, 100 % all 14.
    EXPECT_EQ(barOf(trayGaugeImage(5, 16)).lit, 1);
    EXPECT_EQ(barOf(trayGaugeImage(19, 16)).lit, 3);
    EXPECT_EQ(barOf(trayGaugeImage(100, 16)).lit, 14);
    EXPECT_EQ(barOf(trayGaugeImage(19, 16)).colour, QColor(214, 39, 40));
    EXPECT_EQ(barOf(trayGaugeImage(20, 16)).colour, QColor(44, 160, 44));
}

} // namespace
} // namespace nimbrel::view
