// Nimbrel installed as a package installs it: the executable in a folder of
// root's, started by an ordinary user on a real X display. Its settings go to
// the user's configuration home and its bitmaps to the data home, nothing
// lands beside the program, and no error report reaches the vendor's server.

#include "DesktopSession.h"
#include "WindowPlaces.h"
#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
using nimbrel::testing::LoopbackHttpServer;

namespace fs = std::filesystem;

// The sanitized build starts slowly, and the machine may be busy with other tests.
constexpr auto patience = 60s;

constexpr unsigned nobody = 65534;

const std::string reportPath = "/error-reporting/error-msg.php";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class InstalledOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string missing = DesktopSession::missingTools();
        if (missing.empty() && ::geteuid() == 0 && findProgram("setpriv").empty())
            missing = "setpriv is not installed; the installed program is started as another user with it";
        if (!missing.empty()) GTEST_SKIP() << missing;
        session = std::make_unique<DesktopSession>();

        std::string pattern = (fs::temp_directory_path() / "nimbrel-installed-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        fs::create_directories(bin());
        fs::copy_file(NIMBREL_EXECUTABLE, program());
        // The user may not read the clone (a home folder of mode 700): the sanitized program gets its
        // leak suppressions from a copy here, or it would end at once, unable to read them.
        fs::copy_file(NIMBREL_LSAN_SUPPRESSIONS, suppressions());
        fs::permissions(suppressions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                            fs::perms::others_read,
                        fs::perm_options::replace);
        fs::create_directories(home() + "/run");
        fs::permissions(home() + "/run", fs::perms::owner_all, fs::perm_options::replace);
        if (::geteuid() == 0) {
            // Root writes anywhere; the user is nobody, whose home this is.
            for (const auto& entry : fs::recursive_directory_iterator(home())) ::chown(entry.path().c_str(), nobody, nobody);
            ::chown(home().c_str(), nobody, nobody);
        } else {
            fs::permissions(bin(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        }
    }

    void TearDown() override
    {
        if (root.empty()) return;
        fs::permissions(bin(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root);
    }

    std::string bin() const { return root + "/usr/bin"; }
    std::string program() const { return bin() + "/Nimbrel"; }
    std::string home() const { return root + "/home"; }
    std::string config() const { return home() + "/.config"; }
    std::string data() const { return home() + "/.local/share"; }
    std::string suppressions() const { return root + "/lsan.supp"; }

    // The caller's leak options, with its suppressions file replaced by the copy the user may read.
    std::string leakOptions() const
    {
        std::string options;
        const char* caller = std::getenv("LSAN_OPTIONS");
        std::stringstream items(caller != nullptr ? caller : "");
        for (std::string item; std::getline(items, item, ':');) {
            if (!item.empty() && item.rfind("suppressions=", 0) != 0) options += item + ":";
        }
        return options + "suppressions=" + suppressions();
    }

    // The installed program started by the user from the home, the vendor's server on 127.0.0.1.
    Process startAsUser(const LoopbackHttpServer& server) const
    {
        std::vector<std::string> argv = {findProgram("env"),
                                         "-C",
                                         home(),
                                         "HOME=" + home(),
                                         "XDG_RUNTIME_DIR=" + home() + "/run",
                                         "XDG_CONFIG_HOME=",
                                         "XDG_DATA_HOME=",
                                         "NIMBREL_SERVER=" + server.url(),
                                         "NIMBREL_PROBE_URL=" + server.url("/probe"),
                                         "LSAN_OPTIONS=" + leakOptions()};
        if (::geteuid() == 0) {
            for (const std::string& part : {findProgram("setpriv"), "--reuid=" + std::to_string(nobody),
                                            "--regid=" + std::to_string(nobody), std::string("--clear-groups")})
                argv.push_back(part);
        }
        argv.push_back(program());
        return session->startOnDisplay(argv);
    }

    std::string mainWindow() const
    {
        std::vector<std::string> windows;
        waitUntil([&] { return (windows = session->visibleWindows("Nimbrel")).size() == 1; }, patience);
        return windows.size() == 1 ? windows[0] : std::string();
    }

    void exitFrom(const std::string& window, Process& nimbrel) const
    {
        const auto g = session->geometry(window);
        ASSERT_TRUE(g.has_value());
        const int menuBar = g->height - clientHeight();
        const Spot exit = centreOf("cmdExit");
        ASSERT_TRUE(session->click(window, exit.x, menuBar + exit.y));
        EXPECT_EQ(nimbrel.waitForExit(patience), std::optional<int>(0));
    }

    std::unique_ptr<DesktopSession> session;
    std::string root;
};

TEST_F(InstalledOnTheDesktop, TheFirstStartWritesToTheUsersHomesAndTheSecondReadsThemBack)
{
    LoopbackHttpServer server;
    const std::string settings = config() + "/nimbrel/settings.ini";
    const std::string autostart = config() + "/autostart/Nimbrel.desktop";

    Process first = startAsUser(server);
    const std::string window = mainWindow();
    ASSERT_FALSE(window.empty()) << "the installed program showed no window";
    // The applications menu's entry finds its window by the window's class.
    if (!findProgram("xprop").empty()) {
        const std::string entry = fileText(NIMBREL_SOURCE_DIR "/desktop/nimbrel.desktop");
        const std::size_t key = entry.find("\nStartupWMClass=");
        ASSERT_NE(key, std::string::npos);
        const std::string wmClass = entry.substr(key + 16, entry.find('\n', key + 1) - key - 16);
        EXPECT_TRUE(contains(session->x("xprop -id " + window + " WM_CLASS").value_or(""), "\"" + wmClass + "\""))
            << "the window's class is not " << wmClass;
    }
    // The keys a first start writes, in the configuration home.
    EXPECT_TRUE(waitUntil([&] {
        const std::string text = fileText(settings);
        return contains(text, "GraphInterval=1.5") && contains(text, "AutoLaunch=1") && contains(text, "CPUUpdate=2");
    })) << settings << " holds:\n"
        << fileText(settings);
    // The grids drawn, as bitmaps, in the data home.
    for (const char* bitmap : {"graphback.bmp", "cpuback.bmp"})
        EXPECT_EQ(fileText(data() + "/nimbrel/" + bitmap).substr(0, 2), "BM") << bitmap;
    EXPECT_TRUE(fs::exists(autostart));
    exitFrom(window, first);

    // Read back: with start-with-the-desktop switched off in the file, the next start leaves the
    // session's entry as it finds it.
    std::string text = fileText(settings);
    text.replace(text.find("AutoLaunch=1"), 12, "AutoLaunch=0");
    std::ofstream(settings, std::ios::trunc) << text;
    fs::remove(autostart);
    const std::string grid = fileText(data() + "/nimbrel/graphback.bmp");
    Process second = startAsUser(server);
    const std::string again = mainWindow();
    ASSERT_FALSE(again.empty()) << "the second start showed no window";
    EXPECT_FALSE(fs::exists(autostart)) << "the second start did not read AutoLaunch=0 back";
    EXPECT_EQ(fileText(data() + "/nimbrel/graphback.bmp"), grid);
    exitFrom(again, second);

    // Nothing beside the program, and no error report from either start.
    std::vector<std::string> besideProgram;
    for (const auto& entry : fs::directory_iterator(bin())) besideProgram.push_back(entry.path().filename());
    EXPECT_EQ(besideProgram, std::vector<std::string>{"Nimbrel"});
    EXPECT_TRUE(server.requestsFor(reportPath).empty()) << "an error report reached the server";
}

} // namespace
} // namespace nimbrel::e2e
