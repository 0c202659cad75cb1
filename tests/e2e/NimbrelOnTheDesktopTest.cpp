// The whole program on a real X display: start, a second copy, exit.

#include "DesktopSession.h"
#include "WindowPlaces.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <memory>

namespace nimbrel::e2e {
namespace {

using namespace std::chrono_literals;

class NimbrelOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = DesktopSession::missingTools();
        if (!missing.empty()) GTEST_SKIP() << missing;
        session = std::make_unique<DesktopSession>();
    }

    // The one window captioned Nimbrel, once it shows; empty when there is none, or more than one.
    std::string mainWindow()
    {
        std::vector<std::string> windows;
        waitUntil([&] { return (windows = session->visibleWindows("Nimbrel")).size() == 1; });
        if (windows.size() == 1) return windows[0];
        for (const std::string& w : windows) {
            std::printf("window %s: %s", w.c_str(), session->x("xdotool getwindowname " + w).value_or("?\n").c_str());
        }
        return {};
    }

    // Clicks a button of the window at its place in the client area, under the menu bar.
    void clickButton(const std::string& window, std::string_view name)
    {
        const auto g = session->geometry(window);
        ASSERT_TRUE(g.has_value());
        const int menuBar = g->height - clientHeight();
        const Spot button = centreOf(name);
        ASSERT_TRUE(session->click(window, button.x, menuBar + button.y));
    }
    void clickExit(const std::string& window) { clickButton(window, "cmdExit"); }
    void clickHide(const std::string& window) { clickButton(window, "cmdHide"); }

    bool fileLeft(const char* name) const { return std::filesystem::exists(session->runtimeDirectory() + "/" + name); }

    // Every file of the program directory and the configuration home, with its size and time of change.
    std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> filesOfTheProgram() const
    {
        std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> files;
        for (const std::string& root : {session->programDirectory(), session->home() + "/config"}) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
                if (entry.is_regular_file()) files[entry.path()] = {entry.file_size(), entry.last_write_time()};
            }
        }
        return files;
    }

    std::unique_ptr<DesktopSession> session;
};

TEST_F(NimbrelOnTheDesktop, ItsWindowShowsASecondCopyBringsItBackAndExitEndsIt)
{
    // A tray to hide in: without one, hiding only minimises.
    Process tray = session->startTrayHost();
    ASSERT_TRUE(tray.running()) << "trayer did not start";
    Process first = session->startNimbrel();
    const std::string window = mainWindow();
    ASSERT_FALSE(window.empty()) << "no window captioned Nimbrel";
    const auto size = session->geometry(window);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, clientWidth());
    EXPECT_GT(size->height, clientHeight());
    const std::string picture = "/tmp/nimbrel-e2e-window.png";
    if (session->screenshot(picture)) std::printf("screenshot: %s\n", picture.c_str());

    clickHide(window);
    ASSERT_TRUE(waitUntil([&] { return session->visibleWindows("Nimbrel").empty(); })) << "the window stayed";
    ASSERT_TRUE(first.running());

    const auto filesBefore = filesOfTheProgram();
    Process second = session->startNimbrel();
    EXPECT_EQ(second.waitForExit(), std::optional<int>(0)) << "the second copy did not end";
    EXPECT_EQ(filesOfTheProgram(), filesBefore) << "the second copy wrote settings or pictures";

    // The first copy's own window is back, and it is the only one.
    EXPECT_TRUE(waitUntil([&] { return session->visibleWindows("Nimbrel") == std::vector<std::string>{window}; }));
    EXPECT_TRUE(first.running());
    EXPECT_EQ(session->x("xdotool getwindowfocus"), std::optional<std::string>(window + "\n"))
        << "the window that came back has the focus";

    clickExit(window);
    EXPECT_EQ(first.waitForExit(), std::optional<int>(0));
    // A clean end leaves nothing behind.
    EXPECT_FALSE(fileLeft("Nimbrel.lock"));
    EXPECT_FALSE(fileLeft("Nimbrel.socket"));
}

TEST_F(NimbrelOnTheDesktop, TwoCopiesStartedTogetherLeaveOneRunning)
{
    Process a = session->startNimbrel();
    Process b = session->startNimbrel();

    ASSERT_TRUE(waitUntil([&] { return !a.running() || !b.running(); })) << "both copies still run";
    Process& ended = a.running() ? b : a;
    Process& survivor = a.running() ? a : b;
    EXPECT_EQ(ended.waitForExit(), std::optional<int>(0));

    const std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(survivor.running());

    clickExit(window);
    EXPECT_EQ(survivor.waitForExit(), std::optional<int>(0));
}

TEST_F(NimbrelOnTheDesktop, WhatACrashLeavesBehindDoesNotStopTheNextStart)
{
    {
        Process crashed = session->startNimbrel();
        ASSERT_FALSE(mainWindow().empty());
        crashed.kill(SIGKILL);
        crashed.waitForExit();
    }
    ASSERT_TRUE(fileLeft("Nimbrel.lock"));
    ASSERT_TRUE(fileLeft("Nimbrel.socket"));

    Process next = session->startNimbrel();
    const std::string window = mainWindow();
    ASSERT_FALSE(window.empty()) << "the next start did not show its window";
    EXPECT_TRUE(next.running());

    clickExit(window);
    EXPECT_EQ(next.waitForExit(), std::optional<int>(0));
}

} // namespace
} // namespace nimbrel::e2e
