// The Startup/Other panel on a real X display: each choice reaches settings.ini
// (and "Automatically launch" the session's autostart entry) the moment it is
// made, and the next start of the program honours what was chosen.

#include "DesktopSession.h"
#include "WindowPlaces.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel::e2e {
namespace {

using namespace std::chrono_literals;

namespace fs = std::filesystem;

// The sanitized build starts slowly, and the machine may be busy with other tests.
constexpr auto patience = 30s;

// The navigation label "Startup/Other" in the column on the left.
const Spot startupOtherLabel = nearTheLeftOf("lblStartupOtherN", 30);

// The options of "Display at Startup" and the box of "When I startup my computer". A click lands
// on the caption, 40 pixels in: the caption is part of what a radio button or check box answers
// to, whatever the style draws the indicator like.
const Spot fullyDisplayed = nearTheLeftOf("optDisplay0", 40);
const Spot minimizedInTaskbar = nearTheLeftOf("optDisplay1", 40);
const Spot hidden = nearTheLeftOf("optDisplay2", 40);
const Spot automaticallyLaunch = nearTheLeftOf("chkStartup", 40);

// "&Exit Nimbrel" under the panels.
const Spot exitButton = centreOf("cmdExit");

class SettingsOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string missing = DesktopSession::missingTools();
        if (missing.empty() && findProgram("xprop").empty()) {
            missing = "xprop is not installed; the settings tests read the window's hints with it";
        }
        if (!missing.empty()) GTEST_SKIP() << missing;
        session = std::make_unique<DesktopSession>();
    }

    // The one window captioned Nimbrel, once it shows; empty when there is none, or more than one.
    std::string mainWindow() const
    {
        std::vector<std::string> windows;
        waitUntil([&] { return (windows = session->visibleWindows("Nimbrel")).size() == 1; }, patience);
        if (windows.size() == 1) return windows[0];
        for (const std::string& w : windows) {
            std::printf("window %s: %s", w.c_str(), session->x("xdotool getwindowname " + w).value_or("?\n").c_str());
        }
        return {};
    }

    // A left click at a point of the window's client area.
    void clickAt(const std::string& window, Spot spot) const
    {
        const auto g = session->geometry(window);
        ASSERT_TRUE(g.has_value()) << "window " << window << " has no geometry";
        ASSERT_GT(g->height, clientHeight());
        const int menuBar = g->height - clientHeight();
        ASSERT_TRUE(session->click(window, spot.x, menuBar + spot.y));
    }

    void showStartupOther(const std::string& window) const { clickAt(window, startupOtherLabel); }

    // Ends the program with "&Exit Nimbrel"; its exit code.
    std::optional<int> exitWithTheButton(const std::string& window, Process& nimbrel) const
    {
        clickAt(window, exitButton);
        return nimbrel.waitForExit(patience);
    }

    std::string settingsFile() const { return session->programDirectory() + "/settings.ini"; }
    std::string autostartEntry() const { return session->home() + "/config/autostart/Nimbrel.desktop"; }
    std::string executable() const { return session->programDirectory() + "/Nimbrel"; }

    // A value of the Startup section of settings.ini; nothing when the file or the key is not there.
    std::optional<std::string> stored(const std::string& key) const
    {
        std::ifstream file(settingsFile());
        std::optional<std::string> value;
        bool inStartup = false;
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line.front() == '[') {
                inStartup = line == "[Startup]";
                continue;
            }
            if (inStartup && line.rfind(key + "=", 0) == 0) value = line.substr(key.size() + 1);
        }
        return value;
    }

    // Polls settings.ini until the key holds the value.
    bool storedSoon(const std::string& key, const std::string& value) const
    {
        return waitUntil([&] { return stored(key) == value; }, patience);
    }

    // The Exec line of the autostart entry, as written; empty when there is none.
    std::string execLine() const
    {
        std::ifstream file(autostartEntry());
        for (std::string line; std::getline(file, line);) {
            if (line.rfind("Exec=", 0) == 0) return line;
        }
        return {};
    }

    // What xprop says of a property of the window.
    std::string property(const std::string& window, const std::string& name) const
    {
        return session->x("xprop -id " + window + " " + name).value_or("");
    }
    // Whether the window asks to be shown as an icon. Without a window manager nothing acts on
    // that: the window is mapped all the same, and its hints are what tell a minimised window.
    bool asksForIconicState(const std::string& window) const
    {
        return property(window, "WM_HINTS").find("Initial state is Iconic State") != std::string::npos;
    }

    bool hasTheFocus(const std::string& window) const
    {
        return session->x("xdotool getwindowfocus") == std::optional<std::string>(window + "\n");
    }

    void screenshot(const std::string& name) const
    {
        const std::string picture = "/tmp/nimbrel-e2e-settings-" + name + ".png";
        if (session->screenshot(picture)) std::printf("screenshot: %s\n", picture.c_str());
    }

    // Starts the program, chooses a "Display at Startup" option on its Startup/Other panel and
    // ends it with "&Exit Nimbrel"; the choice is in settings.ini before the program ends.
    void chooseDisplayAtStartup(Spot option, const std::string& storedValue, const std::string& pictureName)
    {
        Process nimbrel = session->startNimbrel();
        const std::string window = mainWindow();
        ASSERT_FALSE(window.empty()) << "no window captioned Nimbrel";
        showStartupOther(window);
        clickAt(window, option);
        EXPECT_TRUE(storedSoon("Display", storedValue))
            << "settings.ini holds Display=" << stored("Display").value_or("(none)") << ", not " << storedValue;
        screenshot(pictureName);
        EXPECT_EQ(exitWithTheButton(window, nimbrel), std::optional<int>(0));
    }

    std::unique_ptr<DesktopSession> session;
};

TEST_F(SettingsOnTheDesktop, AutomaticallyLaunchWritesAndRemovesTheAutostartEntry)
{
    Process nimbrel = session->startNimbrel();

    // A first start: "Automatically launch" is on, and the entry names this copy of the program.
    ASSERT_TRUE(waitUntil([&] { return fs::exists(autostartEntry()); }, patience))
        << "no autostart entry at " << autostartEntry();
    EXPECT_TRUE(waitUntil([&] { return execLine() == "Exec=" + executable(); }, patience))
        << "the entry's Exec line is \"" << execLine() << "\"";
    const std::string window = mainWindow();
    ASSERT_FALSE(window.empty()) << "no window captioned Nimbrel";
    // The icon the entry names is in the user's icon theme.
    EXPECT_TRUE(fs::exists(session->home() + "/data/icons/hicolor/22x22/apps/nimbrel.png"));
    EXPECT_TRUE(storedSoon("AutoLaunch", "1")) << "AutoLaunch=" << stored("AutoLaunch").value_or("(none)");
    // The first start shows the window in full.
    EXPECT_FALSE(asksForIconicState(window)) << property(window, "WM_HINTS");

    showStartupOther(window);
    clickAt(window, automaticallyLaunch);
    EXPECT_TRUE(waitUntil([&] { return !fs::exists(autostartEntry()); }, patience))
        << "unticking \"Automatically launch\" left the autostart entry";
    EXPECT_TRUE(storedSoon("AutoLaunch", "0")) << "AutoLaunch=" << stored("AutoLaunch").value_or("(none)");
    screenshot("autolaunch-off");

    clickAt(window, automaticallyLaunch);
    EXPECT_TRUE(waitUntil([&] { return fs::exists(autostartEntry()); }, patience))
        << "ticking \"Automatically launch\" again did not bring the autostart entry back";
    EXPECT_TRUE(waitUntil([&] { return execLine() == "Exec=" + executable(); }, patience))
        << "the entry's Exec line is \"" << execLine() << "\"";
    EXPECT_TRUE(storedSoon("AutoLaunch", "1")) << "AutoLaunch=" << stored("AutoLaunch").value_or("(none)");

    EXPECT_EQ(exitWithTheButton(window, nimbrel), std::optional<int>(0));
    // Ending the program is no reason to take the entry away.
    EXPECT_TRUE(fs::exists(autostartEntry()));
    EXPECT_EQ(stored("AutoLaunch"), std::optional<std::string>("1"));
}

TEST_F(SettingsOnTheDesktop, MinimizedInTaskbarStartsTheNextTimeMinimised)
{
    chooseDisplayAtStartup(minimizedInTaskbar, "1", "minimized-chosen");
    if (HasFatalFailure()) return;

    Process nimbrel = session->startNimbrel();
    const std::string window = mainWindow();
    ASSERT_FALSE(window.empty()) << "the start after choosing \"Minimized in Taskbar\" has no window";
    EXPECT_TRUE(waitUntil([&] { return asksForIconicState(window); }, patience))
        << "the window is not minimised: " << property(window, "WM_HINTS");
    EXPECT_NE(property(window, "_NET_WM_STATE").find("_NET_WM_STATE_HIDDEN"), std::string::npos)
        << property(window, "_NET_WM_STATE");
    EXPECT_EQ(stored("Display"), std::optional<std::string>("1"));
    screenshot("minimized-start");

    // A second copy brings the window back, and ends.
    Process second = session->startNimbrel();
    EXPECT_EQ(second.waitForExit(patience), std::optional<int>(0)) << "the second copy did not end";
    EXPECT_TRUE(waitUntil([&] { return !asksForIconicState(window); }, patience))
        << "the window stayed minimised: " << property(window, "WM_HINTS");
    EXPECT_TRUE(waitUntil([&] { return hasTheFocus(window); }, patience)) << "the window that came back has no focus";
    EXPECT_TRUE(nimbrel.running());
    // Restoring the window once does not change what the next start does.
    EXPECT_EQ(stored("Display"), std::optional<std::string>("1"));

    EXPECT_EQ(exitWithTheButton(window, nimbrel), std::optional<int>(0));
}

TEST_F(SettingsOnTheDesktop, HiddenStartsTheNextTimeWithoutAWindow)
{
    // A tray to start hidden in: without one, a hidden start is a minimised one.
    Process tray = session->startTrayHost();
    ASSERT_TRUE(tray.running()) << "trayer did not start";
    const std::vector<std::string> trayWindows = session->mappedTopLevelWindows();
    chooseDisplayAtStartup(hidden, "2", "hidden-chosen");
    if (HasFatalFailure()) return;

    // Every start with "Automatically launch" on writes the autostart entry while it loads its
    // settings, just before it shows (or does not show) its window: the entry coming back marks
    // the start as far enough along.
    ASSERT_TRUE(fs::remove(autostartEntry()));
    Process nimbrel = session->startNimbrel();
    ASSERT_TRUE(waitUntil([&] { return fs::exists(autostartEntry()) || !nimbrel.running(); }, patience) &&
                nimbrel.running())
        << "the hidden start did not get as far as loading its settings";

    // For a good while after, the program runs with nothing on the screen.
    std::vector<std::string> mapped;
    const bool showedSomething = waitUntil(
        [&] { return !nimbrel.running() || (mapped = session->mappedTopLevelWindows()) != trayWindows; }, 3s);
    EXPECT_FALSE(showedSomething) << (nimbrel.running() ? "a window was mapped: " + mapped.front()
                                                        : std::string("the program ended"));
    ASSERT_TRUE(nimbrel.running());
    EXPECT_EQ(stored("Display"), std::optional<std::string>("2"));
    screenshot("hidden-start");

    // A second copy brings the window up, and ends.
    Process second = session->startNimbrel();
    EXPECT_EQ(second.waitForExit(patience), std::optional<int>(0)) << "the second copy did not end";
    const std::string window = mainWindow();
    ASSERT_FALSE(window.empty()) << "the second copy did not bring the window up";
    EXPECT_FALSE(asksForIconicState(window)) << property(window, "WM_HINTS");
    EXPECT_TRUE(waitUntil([&] { return hasTheFocus(window); }, patience)) << "the window that came up has no focus";
    EXPECT_EQ(stored("Display"), std::optional<std::string>("2"));

    // Back to the first choice, for the start after.
    showStartupOther(window);
    clickAt(window, fullyDisplayed);
    EXPECT_TRUE(storedSoon("Display", "0")) << "Display=" << stored("Display").value_or("(none)");

    EXPECT_EQ(exitWithTheButton(window, nimbrel), std::optional<int>(0));
}

} // namespace
} // namespace nimbrel::e2e
