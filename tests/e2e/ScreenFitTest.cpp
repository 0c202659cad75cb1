// The main window on a screen too small for it as designed.

#include "DesktopSession.h"
#include "WindowPlaces.h"

#include <gtest/gtest.h>

#include <csignal>

namespace nimbrel::e2e {
namespace {

TEST(ScreenFit, AtScale15OnAn800By600ScreenTheWholeWindowIsOnTheScreenScaledAsALayout)
{
    const std::string missing = DesktopSession::missingTools();
    if (!missing.empty()) GTEST_SKIP() << missing;
    DesktopSession session("800x600x24");
    // 1.5 device pixels a pixel: the window as designed would be 938 wide and some 680 high.
    Process nimbrel = session.startNimbrel({"QT_SCALE_FACTOR=1.5"});
    std::vector<std::string> windows;
    ASSERT_TRUE(waitUntil([&] { return (windows = session.visibleWindows("Nimbrel")).size() == 1; }));
    std::optional<DesktopSession::Geometry> g;
    // Qt maps the window first and moves it to its place right after.
    ASSERT_TRUE(waitUntil([&] {
        g = session.geometry(windows[0]);
        return g && g->x >= 0 && g->y >= 0;
    }));
    const std::string picture = "/tmp/nimbrel-e2e-fit-800x600.png";
    if (session.screenshot(picture)) std::printf("screenshot: %s\n", picture.c_str());
    EXPECT_LE(g->x + g->width, 800);
    EXPECT_LE(g->y + g->height, 600) << "the bottom row of buttons is on the screen";
    EXPECT_LT(g->width, 1.5 * clientWidth()) << "scaled down";
    // The layout's proportions stay: as wide against the buttons' row as designed.
    EXPECT_GT(g->width, 1.5 * clientWidth() * 0.5);

    nimbrel.kill(SIGTERM);
    nimbrel.waitForExit();
}

} // namespace
} // namespace nimbrel::e2e
