// The main window on a screen too small for it as designed.

#include "DesktopSession.h"
#include "WindowPlaces.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ostream>
#include <string>

namespace nimbrel::e2e {
namespace {

struct ScreenCase {
    const char* name;
    int width;
    int height;
    const char* scale; // QT_SCALE_FACTOR
};

void PrintTo(const ScreenCase& screen, std::ostream* out)
{
    *out << screen.name;
}

class ScreenFit : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(ScreenFit, TheWholeWindowIsOnTheScreenScaledAsALayout)
{
    const std::string missing = DesktopSession::missingTools();
    if (!missing.empty()) GTEST_SKIP() << missing;
    const ScreenCase screen = GetParam();
    const double scale = std::stod(screen.scale);
    DesktopSession session(std::to_string(screen.width) + "x" + std::to_string(screen.height) + "x24");
    Process nimbrel = session.startNimbrel({std::string("QT_SCALE_FACTOR=") + screen.scale});
    std::vector<std::string> windows;
    ASSERT_TRUE(waitUntil([&] { return (windows = session.visibleWindows("Nimbrel")).size() == 1; }));
    std::optional<DesktopSession::Geometry> g;
    // Qt maps the window first and moves it to its place right after.
    ASSERT_TRUE(waitUntil([&] {
        g = session.geometry(windows[0]);
        return g && g->x >= 0 && g->y >= 0;
    }));
    const std::string picture = std::string("/tmp/nimbrel-e2e-fit-") + screen.name + ".png";
    if (session.screenshot(picture)) std::printf("screenshot: %s\n", picture.c_str());
    EXPECT_LE(g->x + g->width, screen.width);
    EXPECT_LE(g->y + g->height, screen.height) << "the bottom row of buttons is on the screen";
    EXPECT_LT(g->width, scale * clientWidth()) << "scaled down";
    // The layout's proportions stay: as wide against the buttons' row as designed.
    EXPECT_GT(g->width, scale * clientWidth() * 0.5);

    nimbrel.kill(SIGTERM);
    nimbrel.waitForExit();
}

// At 1.5 on 800x600 the window as designed would be 938 wide and some 680 high; at 2.0 on 1280x900, some 1250
// wide and 900 high with its menu bar, its bottom edge cut.
INSTANTIATE_TEST_SUITE_P(Screens, ScreenFit,
                         ::testing::Values(ScreenCase{"Scale15On800x600", 800, 600, "1.5"},
                                           ScreenCase{"Scale2On1280x900", 1280, 900, "2"}),
                         [](const ::testing::TestParamInfo<ScreenCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace nimbrel::e2e
