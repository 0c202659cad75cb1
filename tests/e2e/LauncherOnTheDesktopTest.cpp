// The Launcher panel on a real X display: a program of Launcher.mbl starts from a double-click on its line and
// from the File menu's Programs entries (the tray icon's pop-up is the same menu), and the editor adds a program
// through the open-file dialog, writes the file and shows the program in that menu at once.

#include "DesktopSession.h"
#include "WindowPlaces.h"
#include "support/IdleProgram.h"
#include "support/TestCgroup.h"
#include "support/TestSwapFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <thread>
#include <string>
#include <vector>

namespace nimbrel::e2e {
namespace {

using namespace std::chrono_literals;

namespace fs = std::filesystem;

constexpr auto patience = 30s;

// The navigation label "Launcher", the first row of the panel's list and "Configure Program List".
const Spot launcherLabel = nearTheLeftOf("lblLauncherN", 30);
const Spot firstProgram{placeOnForm("lstLauncher").left + 30, placeOnForm("lstLauncher").top + 8};
const Spot configureButton = centreOf("cmdConfigureLauncher");
// In the editor: "&Add Program" and "&Save && Close".
const Spot addButton = centreOf("cmdAdd", "frmLauncher");
const Spot saveButton = centreOf("cmdSave", "frmLauncher");

class LauncherOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = DesktopSession::missingTools();
        if (!missing.empty()) GTEST_SKIP() << missing;
        session = std::make_unique<DesktopSession>();
        fs::create_directories(tools());
    }

    std::string tools() const { return session->home() + "/tools"; }

    // A script that appends its name to the record when it starts.
    std::string recorder(const std::string& name) const
    {
        const std::string path = tools() + "/" + name;
        std::ofstream(path) << "#!/bin/sh\necho " << name << " >> \"" << record() << "\"\n";
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }
    std::string record() const { return session->home() + "/started"; }
    bool recorded(const std::string& lines) const
    {
        return waitUntil([&] { return fileText(record()) == lines; }, patience);
    }

    std::string listFile() const { return session->programDirectory() + "/Launcher.mbl"; }
    static std::string entry(const std::string& name, const std::string& path)
    {
        return name + std::string(52, ' ') + "|" + path + "\r\n";
    }

    std::string windowNamed(const std::string& title) const
    {
        std::vector<std::string> windows;
        waitUntil([&] { return (windows = session->visibleWindows(title)).size() == 1; }, patience);
        return windows.size() == 1 ? windows[0] : std::string();
    }
    int menuBarHeight(const std::string& window) const
    {
        const auto g = session->geometry(window);
        return g ? g->height - clientHeight() : 0;
    }
    void clickAt(const std::string& window, Spot spot, int top = 0) const
    {
        ASSERT_TRUE(session->click(window, spot.x, top + spot.y));
    }
    // Opens File, then Programs, and chooses the entry at that position.
    void chooseProgramFromTheMenu(const std::string& window, int position) const
    {
        clickAt(window, {18, menuBarHeight(window) / 2});
        std::string keys = "p";
        for (int i = 0; i < position; ++i) keys += " Down";
        std::this_thread::sleep_for(300ms);
        ASSERT_TRUE(session->x("xdotool key --delay 150 " + keys + " Return").has_value());
    }

    std::unique_ptr<DesktopSession> session;
};

TEST_F(LauncherOnTheDesktop, AProgramStartsFromADoubleClickAndFromTheProgramsMenu)
{
    std::ofstream(listFile(), std::ios::binary) << entry("first", recorder("first")) << entry("second", recorder("second"));
    Process nimbrel = session->startNimbrel();
    const std::string window = windowNamed("Nimbrel");
    ASSERT_FALSE(window.empty());
    const int top = menuBarHeight(window);
    clickAt(window, launcherLabel, top);
    session->x("xdotool mousemove --sync --window " + window + " " + std::to_string(firstProgram.x) + " " +
               std::to_string(top + firstProgram.y) + " click --repeat 2 --delay 80 1");
    EXPECT_TRUE(recorded("first\n")) << "after a double-click on the first line";

    chooseProgramFromTheMenu(window, 1);
    EXPECT_TRUE(recorded("first\nsecond\n")) << "after choosing the second entry of File, Programs";
    EXPECT_TRUE(nimbrel.running());
}

TEST_F(LauncherOnTheDesktop, TheEditorAddsAProgramThroughTheFileDialogAndSavesIt)
{
    const std::string added = recorder("added");
    Process nimbrel = session->startNimbrel();
    const std::string window = windowNamed("Nimbrel");
    ASSERT_FALSE(window.empty());
    const int top = menuBarHeight(window);
    clickAt(window, launcherLabel, top);
    clickAt(window, configureButton, top);
    const std::string editor = windowNamed(" Configure Launcher Programs");
    ASSERT_FALSE(editor.empty());
    clickAt(editor, addButton);
    ASSERT_TRUE(waitUntil([&] { return session->mappedTopLevelWindows().size() >= 3; }, patience));
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(session->x("xdotool type --delay 30 '" + added + "'").has_value());
    ASSERT_TRUE(session->x("xdotool key Return").has_value());
    std::this_thread::sleep_for(500ms);
    clickAt(editor, saveButton);

    EXPECT_TRUE(waitUntil([&] { return fileText(listFile()) == entry("added", added); }, patience));
    chooseProgramFromTheMenu(window, 0);
    EXPECT_TRUE(recorded("added\n")) << "the new program is in File, Programs at once";
}

// A list of more lines than are read: the message that says so comes once the main window is drawn, over its
// middle, not in a corner of the screen before the window is there.
TEST_F(LauncherOnTheDesktop, AListTooLongIsToldOverTheMiddleOfTheMainWindowDrawnBehindIt)
{
    std::ofstream list(listFile(), std::ios::binary);
    for (int i = 0; i <= 1000; ++i) list << entry("p" + std::to_string(i), "/bin/true");
    list.close();
    Process nimbrel = session->startNimbrel();

    // Both captioned Nimbrel: the main window as wide as its client area, the message not.
    std::string window;
    std::string message;
    const bool both = waitUntil(
        [&] {
            window.clear();
            message.clear();
            const std::vector<std::string> shown = session->visibleWindows("Nimbrel");
            for (const std::string& w : shown) {
                if (const auto g = session->geometry(w)) (g->width == clientWidth() ? window : message) = w;
            }
            return shown.size() == 2 && !window.empty() && !message.empty();
        },
        patience);
    ASSERT_TRUE(both) << "the main window and the message are not shown together";
    const auto g = session->geometry(window);
    ASSERT_TRUE(g.has_value());
    std::optional<DesktopSession::Geometry> m;
    // Where no window manager frames the windows (as here), Qt allows for a frame of its own guess, 10 pixels
    // across and 40 down, and places a message that much up and to the left of the middle.
    constexpr int frameAcross = 10 + 4;
    constexpr int frameDown = 40 + 4;
    // Qt maps a message first and moves it to its place right after.
    EXPECT_TRUE(waitUntil(
        [&] {
            m = session->geometry(message);
            return m && std::abs(m->x + m->width / 2 - (g->x + g->width / 2)) <= frameAcross &&
                   std::abs(m->y + m->height / 2 - (g->y + g->height / 2)) <= frameDown;
        },
        5s))
        << "the message at " << (m ? m->x : -1) << "," << (m ? m->y : -1) << " " << (m ? m->width : -1) << "x"
        << (m ? m->height : -1) << " does not stand over the middle of the main window at " << g->x << "," << g->y
        << " " << g->width << "x" << g->height;

    // Above the message, the banner is drawn: its "Nimbrel" in smoothed lettering of many shades, where a window
    // not yet drawn shows one colour, or the two of the screen's background.
    const PixelRect banner = placeOnForm("lblBanner");
    const int bannerTop = menuBarHeight(window) + banner.top;
    ASSERT_TRUE(m.has_value());
    ASSERT_LT(g->y + bannerTop + banner.height, m->y) << "the message covers the banner";
    const std::vector<std::uint32_t> seen = session->pixels(window, banner.left, bannerTop, banner.width, banner.height);
    ASSERT_FALSE(seen.empty()) << "xwd could not take the main window";
    const std::size_t shades = std::set<std::uint32_t>(seen.begin(), seen.end()).size();
    EXPECT_GT(shades, 4u) << "the main window is not drawn: its banner shows " << shades << " shades";
    EXPECT_TRUE(nimbrel.running());
}

constexpr std::uint64_t MiB = 1024 * 1024;

// A 1200 MB cgroup with swap, an idle program holding 800 MB of it, and a launch that frees 20 %.
TEST_F(LauncherOnTheDesktop, APreReleaseWithSwapFreesItsSharePagingAnIdleProgramOutBeforeTheProgramStarts)
{
    testing::TestCgroup cgroup("memory");
    if (!cgroup.made()) GTEST_SKIP() << cgroup.whyNot();
    const testing::TestSwapFile swap(session->home() + "/swapfile", 1024 * MiB);
    if (!swap.on()) GTEST_SKIP() << swap.whyNot();
    ASSERT_TRUE(cgroup.write(cgroup.v2() ? "memory.max" : "memory.limit_in_bytes", std::to_string(1200 * MiB)));
    const testing::IdleProgram idle(cgroup, 800 * MiB);
    ASSERT_TRUE(idle.started());

    // The launched script waits a moment for the block to be given back, then notes what the cgroup has left.
    const std::string script = tools() + "/measure";
    std::ofstream(script) << "#!/bin/sh\nsleep 1\necho $(( $(cat '"
                          << cgroup.file(cgroup.v2() ? "memory.max" : "memory.limit_in_bytes") << "') - $(cat '"
                          << cgroup.file(cgroup.v2() ? "memory.current" : "memory.usage_in_bytes") << "') )) > '"
                          << record() << "'\n";
    fs::permissions(script, fs::perms::owner_all);
    std::ofstream(listFile(), std::ios::binary) << entry("measure", script);
    std::ofstream(session->programDirectory() + "/settings.ini", std::ios::binary)
        << "[Launcher]\r\nFreeup=3\r\nRetry=0\r\n";

    ASSERT_TRUE(cgroup.enter(::getpid()));
    Process nimbrel = session->startNimbrel();
    cgroup.leave(::getpid());
    const std::string window = windowNamed("Nimbrel");
    ASSERT_FALSE(window.empty());
    const int top = menuBarHeight(window);
    clickAt(window, launcherLabel, top);
    std::this_thread::sleep_for(1s);
    const std::uint64_t leftBefore = cgroup.memoryLeft();
    session->x("xdotool mousemove --sync --window " + window + " " + std::to_string(firstProgram.x) + " " +
               std::to_string(top + firstProgram.y) + " click --repeat 2 --delay 80 1");

    ASSERT_TRUE(waitUntil([&] { return !fileText(record()).empty(); }, 60s)) << "the script never started";
    const std::uint64_t leftAtStart = std::stoull(fileText(record()));
    EXPECT_GE(leftAtStart, leftBefore + 240 * MiB) << "20 % of 1201 MB is 240 MB; " << leftBefore / MiB
                                                   << " MB were left before, " << leftAtStart / MiB << " after";
    EXPECT_TRUE(idle.alive());
    EXPECT_GT(idle.swapped(), 0u) << "the idle program's pages went to swap";
    EXPECT_EQ(cgroup.oomKills(), 0u);
    EXPECT_TRUE(nimbrel.running());
}

} // namespace
} // namespace nimbrel::e2e
