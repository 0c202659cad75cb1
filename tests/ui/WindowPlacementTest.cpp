// The share of its designed size a window is shown at on a screen's available area.

#include "ui/qt/WindowPlacement.h"

#include <gtest/gtest.h>

namespace nimbrel::testing {
namespace {

using view::fitScale;
using view::frameAllowance;

// The main window as designed: 625 by 425 pixels of client area under a menu bar of 25.
const QSize mainWindow(625, 425);
constexpr int menuBar = 25;

TEST(WindowPlacement, AWindowThatFitsIsShownAsDesigned)
{
    EXPECT_EQ(fitScale(mainWindow, menuBar, QRect(0, 0, 1024, 768)), 1.0);
    const QRect justEnough(0, 0, 625 + frameAllowance.width(), 425 + menuBar + frameAllowance.height());
    EXPECT_EQ(fitScale(mainWindow, menuBar, justEnough), 1.0);
}

TEST(WindowPlacement, AtScale15OnAn800By600ScreenTheHeightDecides)
{
    // 800 x 600 device pixels at 1.5 are 533 x 400 of Qt's.
    const double scale = fitScale(mainWindow, menuBar, QRect(0, 0, 533, 400));
    EXPECT_NEAR(scale, (400.0 - menuBar - frameAllowance.height()) / 425.0, 1e-9);
    EXPECT_LE(425 * scale + menuBar + frameAllowance.height(), 400.0);
}

TEST(WindowPlacement, ANarrowScreenMakesTheWidthDecide)
{
    const double scale = fitScale(mainWindow, menuBar, QRect(0, 0, 416, 2000));
    EXPECT_NEAR(scale, (416.0 - frameAllowance.width()) / 625.0, 1e-9);
}

TEST(WindowPlacement, NoScreenOrAScreenOfNothingLeavesTheWindowReadable)
{
    EXPECT_EQ(fitScale(mainWindow, menuBar, QRect()), 1.0);
    EXPECT_EQ(fitScale(mainWindow, menuBar, QRect(0, 0, 40, 30)), 0.25);
}

} // namespace
} // namespace nimbrel::testing
