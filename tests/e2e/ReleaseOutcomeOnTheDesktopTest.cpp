// A release on this machine, which has no swap: "FreeUp RAM Now" is refused at its first pass, the user is
// told at once in a balloon over the tray icon, and the button is free again right away.

#include "DesktopSession.h"
#include "WindowPlaces.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace nimbrel::e2e {
namespace {

using namespace std::chrono_literals;

constexpr auto patience = 30s;

bool machineHasSwap()
{
    std::ifstream meminfo("/proc/meminfo");
    for (std::string key; meminfo >> key;) {
        std::uint64_t kb = 0;
        meminfo >> kb;
        if (key == "SwapTotal:") return kb > 0;
        meminfo.ignore(64, '\n');
    }
    return false;
}

TEST(ReleaseOutcomeOnTheDesktop, ARefusedReleaseIsToldAtOnceAndTheButtonIsFreeAgain)
{
    std::string missing = DesktopSession::missingTools();
    if (missing.empty() && findProgram("trayer").empty()) missing = "trayer is not installed";
    if (!missing.empty()) GTEST_SKIP() << missing;
    if (machineHasSwap()) GTEST_SKIP() << "this machine has swap: a release may work here";
    DesktopSession session;
    Process trayer = session.startOnDisplay(
        {findProgram("trayer"), "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"});
    Process nimbrel = session.startNimbrel({"DBUS_SESSION_BUS_ADDRESS"});
    std::vector<std::string> windows;
    ASSERT_TRUE(waitUntil([&] { return (windows = session.visibleWindows("Nimbrel")).size() == 1; }, patience));
    const std::string window = windows[0];
    const auto g = session.geometry(window);
    ASSERT_TRUE(g.has_value());
    const int top = g->height - clientHeight();
    const Spot button = centreOf("cmdRam");
    std::this_thread::sleep_for(1s); // the icon docks
    const std::size_t before = session.mappedTopLevelWindows().size();

    ASSERT_TRUE(session.click(window, button.x, top + button.y));
    EXPECT_TRUE(waitUntil([&] { return session.mappedTopLevelWindows().size() > before; }, patience))
        << "no balloon over the tray icon";
    ASSERT_TRUE(session.click(window, button.x, top + button.y));
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(session.visibleWindows("Nimbrel").size(), 1u) << "no \"already releasing\" box";
    EXPECT_TRUE(nimbrel.running());
    trayer.kill(SIGTERM);
}

} // namespace
} // namespace nimbrel::e2e
