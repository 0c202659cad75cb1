// Nimbrel as a native Wayland client, under weston's headless compositor: the
// window comes up, and a second start ends and leaves the one window. What the
// program tells the compositor is read from its protocol log (WAYLAND_DEBUG):
// a top-level surface titled Nimbrel with a picture attached is a window shown.

#include "DesktopSession.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace nimbrel::e2e {
namespace {

using namespace std::chrono_literals;

namespace fs = std::filesystem;

// The sanitized build starts slowly, and the machine may be busy with other tests.
constexpr auto patience = 60s;

int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// A window shown: a top-level with its title, and a buffer attached to a surface.
bool showsWindow(const std::string& log)
{
    return log.find("xdg_toplevel@") != std::string::npos && log.find("set_title(\"Nimbrel") != std::string::npos &&
           log.find("wl_surface@") != std::string::npos && log.find(".attach(wl_buffer@") != std::string::npos;
}

// Qt's Wayland platform plugin, in the multiarch folder of any architecture.
bool hasQtWayland()
{
    std::error_code ec;
    for (const auto& arch : fs::directory_iterator("/usr/lib", ec)) {
        if (fs::exists(arch.path() / "qt6/plugins/platforms/libqwayland-generic.so", ec)) return true;
    }
    return false;
}

bool takesDownAWindow(const std::string& log)
{
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("xdg_toplevel@") != std::string::npos && line.find(".destroy()") != std::string::npos)
            return true;
    }
    return false;
}

class WaylandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (findProgram("weston").empty()) GTEST_SKIP() << "weston is not installed; the Wayland test needs it";
        if (!hasQtWayland())
            GTEST_SKIP() << "Qt's Wayland platform (qt6-wayland) is not installed";
        std::string pattern = (fs::temp_directory_path() / "nimbrel-wayland-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        home = pattern;
        fs::create_directories(home + "/run");
        fs::create_directories(home + "/app");
        fs::permissions(home + "/run", fs::perms::owner_all, fs::perm_options::replace);
        fs::copy_file(NIMBREL_EXECUTABLE, home + "/app/Nimbrel");

        compositor = Process({findProgram("weston"), "--backend=headless-backend.so", "--socket=" + socket,
                              "--idle-time=0", "--log=" + home + "/weston.log"},
                             {"XDG_RUNTIME_DIR=" + home + "/run", "PATH=/usr/bin:/bin"}, home);
        const bool listening = waitUntil(
            [&] { return !compositor.running() || fs::exists(home + "/run/" + socket); }, 20s);
        if (!listening || !compositor.running())
            GTEST_SKIP() << "weston's headless backend does not run here:\n" << fileText(home + "/weston.log");
    }

    void TearDown() override
    {
        compositor.kill(SIGTERM);
        compositor.waitForExit();
        if (!home.empty()) fs::remove_all(home);
    }

    // The program on the compositor, its protocol log in the file named.
    Process startNimbrel(const std::string& log) const
    {
        std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + home + "/run",
                                        "WAYLAND_DISPLAY=" + socket,
                                        "QT_QPA_PLATFORM=wayland",
                                        "WAYLAND_DEBUG=client",
                                        "HOME=" + home,
                                        "XDG_CONFIG_HOME=" + home + "/config",
                                        "XDG_DATA_HOME=" + home + "/data",
                                        "NIMBREL_SERVER=http://127.0.0.1:9",
                                        "NIMBREL_PROBE_URL=http://127.0.0.1:9/",
                                        "PATH=/usr/bin:/bin",
                                        "LSAN_OPTIONS=suppressions=" NIMBREL_LSAN_SUPPRESSIONS};
        return Process({findProgram("sh"), "-c", "exec \"$0\" 2>\"$1\"", home + "/app/Nimbrel", log}, env,
                       home + "/app");
    }

    std::string home;
    std::string socket = "wayland-nimbrel-" + std::to_string(::getpid());
    Process compositor;
};

TEST_F(WaylandTest, TheWindowShowsAndASecondStartEndsLeavingTheOneWindow)
{
    const std::string firstLog = home + "/first.log";
    Process first = startNimbrel(firstLog);
    ASSERT_TRUE(waitUntil([&] { return !first.running() || showsWindow(fileText(firstLog)); }, patience))
        << "no window shown; the program's last words:\n"
        << fileText(firstLog).substr(fileText(firstLog).size() > 4000 ? fileText(firstLog).size() - 4000 : 0);
    ASSERT_TRUE(first.running());
    EXPECT_TRUE(fs::exists(home + "/app/settings.ini")) << "the load sequence did not run";

    const std::string secondLog = home + "/second.log";
    Process second = startNimbrel(secondLog);
    EXPECT_EQ(second.waitForExit(patience), std::optional<int>(0));
    EXPECT_FALSE(showsWindow(fileText(secondLog))) << "the second start showed a window of its own";
    // The first copy is still there, with one top-level window, shown.
    ASSERT_TRUE(first.running());
    const std::string log = fileText(firstLog);
    EXPECT_EQ(occurrences(log, ".get_toplevel("), 1);
    EXPECT_FALSE(takesDownAWindow(log))
        << "the window was taken down";
    first.kill(SIGTERM);
    first.waitForExit();
}

TEST_F(WaylandTest, ASecondStartShowsTheWindowOfACopyHiddenInTheTray)
{
    // Started hidden (without a notification area here, that is minimised), and a compositor may refuse
    // to raise a window; the second start must still leave the user one window, shown.
    std::ofstream(home + "/app/settings.ini") << "[Startup]\nDisplay=2\n";
    const std::string firstLog = home + "/first.log";
    Process first = startNimbrel(firstLog);
    // Start-up writes the keys a start always writes; by then the window would be up.
    ASSERT_TRUE(waitUntil([&] { return fileText(home + "/app/settings.ini").find("CPUUpdate=") != std::string::npos; },
                          patience));
    ASSERT_TRUE(first.running());

    Process second = startNimbrel(home + "/second.log");
    EXPECT_EQ(second.waitForExit(patience), std::optional<int>(0));
    EXPECT_TRUE(waitUntil([&] { return showsWindow(fileText(firstLog)); }, patience))
        << "the running copy's window did not come up";
    EXPECT_EQ(occurrences(fileText(firstLog), ".get_toplevel("), 1);
    first.kill(SIGTERM);
    first.waitForExit();
}

} // namespace
} // namespace nimbrel::e2e
