// The whole update on a real X display: the running program finds a newer
// version on a server of the test's own, downloads the vendor-signed copy,
// and hands over to it over three processes; what is not signed is never
// installed; a replacement cut short still leaves a program that starts.

#include "DesktopSession.h"
#include "WindowPlaces.h"
#include "platform/linux/ProgramFolderFiles.h"
#include "platform/linux/XdgRegistryStore.h"
#include "support/LoopbackHttpServer.h"
#include "support/MinisignTool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace nimbrel::e2e {
namespace {

using namespace std::chrono_literals;
using nimbrel::testing::HttpAnswer;
using nimbrel::testing::LoopbackHttpServer;
using nimbrel::testing::MinisignTool;
using nimbrel::testing::fileBytes;
using nimbrel::testing::writeBytes;
namespace fs = std::filesystem;

// The sanitized build starts slowly, and three processes take turns here with waits of 17 seconds.
constexpr auto patience = 90s;

const std::string key = "Software\\Microsoft\\Nimbrel";

class UpdateOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = DesktopSession::missingTools();
        if (!missing.empty()) GTEST_SKIP() << missing;
        ASSERT_EQ(vendor.failure(), "");
        session = std::make_unique<DesktopSession>();
        ASSERT_TRUE(session->x("xdotool mousemove --sync 1000 740").has_value());

        oldProgram = fileBytes(program());
        // The new version: the built program with a mark of its own at the end, which does not stop it running.
        newProgram = oldProgram + "\nNimbrel 6, built for the update test\n";
        const std::string newFile = session->home() + "/nblupdate.exe";
        writeBytes(newFile, newProgram);
        signature = vendor.sign(newFile, false, "Nimbrel 6, file:nblupdate.exe");
        ASSERT_FALSE(signature.empty());
        writeBytes(session->programDirectory() + "/update-key.pub", vendor.publicKeyText());

        // A stand-in browser that notes the pages it is asked to open.
        fs::create_directories(session->home() + "/bin");
        writeBytes(session->home() + "/bin/xdg-open", "#!/bin/sh\necho \"$1\" >> '" + openedPages() + "'\n");
        fs::permissions(session->home() + "/bin/xdg-open", fs::perms::owner_all);

        server.answer("/probe", HttpAnswer::ok("<html></html>"));
        server.answer("/nbl.txt", HttpAnswer::ok("6\r\n"));
    }

    std::string program() const { return session->programDirectory() + "/Nimbrel"; }
    std::string downloaded() const { return session->programDirectory() + "/nbl"; }
    std::string openedPages() const { return session->home() + "/opened-pages"; }
    std::optional<std::string> stored(const std::string& name) const
    {
        XdgRegistryStore store(session->home() + "/config/nimbrel", session->home() + "/config/autostart");
        return store.queryValue(key, name);
    }
    void store(const std::string& name, const std::string& value) const
    {
        XdgRegistryStore store(session->home() + "/config/nimbrel", session->home() + "/config/autostart");
        ASSERT_TRUE(store.createKey(key));
        ASSERT_TRUE(store.setValue(key, name, value));
    }

    Process startNimbrel() const
    {
        const char* path = std::getenv("PATH");
        return session->startNimbrel({"NIMBREL_SERVER=" + server.url(), "NIMBREL_PROBE_URL=" + server.url("/probe"),
                                      "PATH=" + session->home() + "/bin:" + (path != nullptr ? path : "/usr/bin:/bin")});
    }

    // A window captioned Nimbrel, once it shows: the main window or else a message box.
    std::string nimbrelWindow(bool main) const
    {
        std::string found;
        waitUntil(
            [&] {
                for (const std::string& window : session->visibleWindows("Nimbrel")) {
                    const auto g = session->geometry(window);
                    if (!g || (g->width == clientWidth()) != main) continue;
                    found = window;
                    return true;
                }
                return false;
            },
            patience);
        return found;
    }

    // File, then the entry above "Exit": "Check For Upgrade"; then Proceed in its window.
    void checkForUpgrade(const std::string& mainWindow) const
    {
        const auto g = session->geometry(mainWindow);
        ASSERT_TRUE(g.has_value());
        const std::size_t before = session->mappedTopLevelWindows().size();
        ASSERT_TRUE(session->click(mainWindow, 16, (g->height - clientHeight()) / 2));
        ASSERT_TRUE(waitUntil([&] { return session->mappedTopLevelWindows().size() > before; }, 10s))
            << "the File menu did not open";
        ASSERT_TRUE(session->x("xdotool key Up Up Return").has_value());
        std::vector<std::string> dialog;
        ASSERT_TRUE(waitUntil([&] { return (dialog = session->visibleWindows("AutoUpdate")).size() == 1; }, 20s))
            << "no AutoUpdate window";
        // Over the middle of the main window, not in a corner of the screen.
        EXPECT_TRUE(waitUntil(
            [&] {
                const auto d = session->geometry(dialog[0]);
                return d && std::abs(d->x + d->width / 2 - (g->x + g->width / 2)) <= 4 &&
                       std::abs(d->y + d->height / 2 - (g->y + g->height / 2)) <= 4;
            },
            5s))
            << "the AutoUpdate window does not stand over the main window";
        const Spot proceed = centreOf("cmdProceed", "frmAutoUpdate");
        ASSERT_TRUE(session->click(dialog[0], proceed.x, proceed.y));
    }

    void clickExit(const std::string& window) const
    {
        const auto g = session->geometry(window);
        ASSERT_TRUE(g.has_value());
        const Spot exit = centreOf("cmdExit");
        ASSERT_TRUE(session->click(window, exit.x, g->height - clientHeight() + exit.y));
    }

    MinisignTool vendor;
    LoopbackHttpServer server;
    std::unique_ptr<DesktopSession> session;
    std::string oldProgram;
    std::string newProgram;
    std::string signature;
};

TEST_F(UpdateOnTheDesktop, ASignedNewVersionIsInstalledOverThreeProcessesAndSaysThankYou)
{
    server.answer("/nblupdate.exe", HttpAnswer::ok(newProgram));
    server.answer("/nblupdate.exe.minisig", HttpAnswer::ok(signature));
    Process first = startNimbrel();
    const std::string window = nimbrelWindow(true);
    ASSERT_FALSE(window.empty()) << "the main window did not show";
    EXPECT_EQ(stored("ver"), "5");
    checkForUpgrade(window);

    // The old program hands over to "nbl" and ends; "nbl" puts itself in the program's place.
    EXPECT_EQ(first.waitForExit(patience), std::optional<int>(0));
    ASSERT_TRUE(waitUntil([&] { return fileBytes(program()) == newProgram; }, patience))
        << "the program file was not replaced";

    // The new program, once it reached its window and event loop, cleans up and thanks the user.
    const std::string thanks = nimbrelWindow(false);
    ASSERT_FALSE(thanks.empty()) << "no thank-you box";
    EXPECT_FALSE(fs::exists(downloaded()));
    EXPECT_FALSE(fs::exists(session->programDirectory() + "/Nimbrel-previous")) << "the old program went once the new one came up";
    EXPECT_EQ(stored("ver"), "6");
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(stored("donreq"), std::nullopt);
    EXPECT_FALSE(fs::exists(openedPages())) << "the page opens once the box is closed";
    ASSERT_TRUE(session->x("xdotool mousemove --sync --window " + thanks + " 20 20 key Return").has_value());
    ASSERT_TRUE(waitUntil([&] { return fs::exists(openedPages()); }, 20s)) << "the upgrade page was not opened";
    EXPECT_EQ(fileBytes(openedPages()), server.url("/upgrade.php") + "\n");

    // The new version runs on, in its own window.
    const std::string newWindow = nimbrelWindow(true);
    ASSERT_FALSE(newWindow.empty()) << "the new version's window did not show";
    EXPECT_EQ(fs::status(program()).permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    clickExit(newWindow);
}

TEST_F(UpdateOnTheDesktop, AnUnsignedOrAlteredPackageLeavesTheProgramAsItWas)
{
    server.answer("/nblupdate.exe", HttpAnswer::ok(newProgram));
    server.answer("/nblupdate.exe.minisig", HttpAnswer::withStatus(404, "Not Found"));
    Process nimbrel = startNimbrel();
    const std::string window = nimbrelWindow(true);
    ASSERT_FALSE(window.empty()) << "the main window did not show";

    checkForUpgrade(window);
    EXPECT_TRUE(waitUntil([&] { return server.requestsFor("/nblupdate.exe.minisig").size() == 1; }, patience));

    std::string altered = newProgram;
    altered[altered.size() / 2] ^= 0x20;
    server.answer("/nblupdate.exe", HttpAnswer::ok(altered));
    server.answer("/nblupdate.exe.minisig", HttpAnswer::ok(signature));
    const std::vector<std::string> dialog = session->visibleWindows("AutoUpdate");
    ASSERT_EQ(dialog.size(), 1u);
    const Spot proceed = centreOf("cmdProceed", "frmAutoUpdate");
    ASSERT_TRUE(session->click(dialog[0], proceed.x, proceed.y));
    EXPECT_TRUE(waitUntil([&] { return server.requestsFor("/nblupdate.exe.minisig").size() == 2; }, patience));
    EXPECT_EQ(server.requestsFor("/nblupdate.exe").size(), 2u) << "one try per Proceed";

    // Time for anything that would follow a download.
    EXPECT_FALSE(waitUntil([&] { return fs::exists(downloaded()); }, 3s));
    EXPECT_TRUE(fileBytes(program()) == oldProgram);
    EXPECT_TRUE(nimbrel.running());
    EXPECT_EQ(stored("Up"), std::nullopt);
    EXPECT_EQ(stored("ver"), "5");
    clickExit(window);
    EXPECT_EQ(nimbrel.waitForExit(patience), std::optional<int>(0));
}

// A start of the new program that died before its event loop (a crash at its real start, a kill) leaves the store
// as set here; the process that replaced the program is gone too. The next start puts the old program back,
// which runs and says so.
TEST_F(UpdateOnTheDesktop, ANewVersionThatDiedBeforeItsEventLoopIsPutBackByTheNextStart)
{
    const std::string previous = session->programDirectory() + "/Nimbrel-previous";
    writeBytes(program(), newProgram);
    writeBytes(previous, oldProgram);
    fs::permissions(previous, fs::perms::owner_all);
    store("nver", "6");
    store("sha", ProgramFolderFiles().digest(program()));
    store("Up", "c");
    store("donreq", "z");
    store("uptry", "z");

    const auto started = std::chrono::steady_clock::now();
    Process newVersion = startNimbrel();
    const std::string box = nimbrelWindow(false);
    ASSERT_FALSE(box.empty()) << "the old program did not say it was put back";
    std::printf("roll-back: %lld ms from the start to the old program's message\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - started)
                                           .count()));
    EXPECT_TRUE(fileBytes(program()) == oldProgram);
    EXPECT_FALSE(fs::exists(previous));
    EXPECT_FALSE(fs::exists(downloaded()));
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(stored("uptry"), std::nullopt);
    EXPECT_EQ(newVersion.waitForExit(patience), std::optional<int>(0)) << "the new version handed over and ended";
    ASSERT_TRUE(session->x("xdotool mousemove --sync --window " + box + " 20 20 key Return").has_value());
    const std::string window = nimbrelWindow(true);
    ASSERT_FALSE(window.empty()) << "the old program did not run";
    EXPECT_NE(stored("ver"), std::optional<std::string>("6"));
    EXPECT_FALSE(fs::exists(openedPages())) << "no thanks for a version put back";
    clickExit(window);
}

TEST_F(UpdateOnTheDesktop, KilledWhileReplacingItselfTheProgramStillStarts)
{
    writeBytes(downloaded(), newProgram);
    fs::permissions(downloaded(), fs::perms::owner_all);
    // As the download leaves them: the version nbl carries and the digest of its verified bytes.
    store("nver", "6");
    store("sha", ProgramFolderFiles().digest(downloaded()));
    store("Up", "b");
    store("donreq", "z");
    Process replacing = startNimbrel();
    // The moment the new bytes are on their way into the folder, or already in place.
    const auto copying = [&] {
        for (const auto& entry : fs::directory_iterator(session->programDirectory())) {
            if (entry.path().filename().string().starts_with(".Nimbrel.nimbrel-")) return true;
        }
        std::error_code missing;
        return fs::file_size(program(), missing) == newProgram.size();
    };
    ASSERT_TRUE(waitUntil(copying, patience));
    replacing.kill(SIGKILL);
    replacing.waitForExit();

    const std::string left = fileBytes(program());
    EXPECT_TRUE(left == oldProgram || left == newProgram) << "a program of " << left.size() << " bytes";

    // Started again, it finishes what was pending and runs.
    Process again = startNimbrel();
    const std::string thanks = nimbrelWindow(false);
    ASSERT_FALSE(thanks.empty()) << "no thank-you box";
    ASSERT_TRUE(session->x("xdotool mousemove --sync --window " + thanks + " 20 20 key Return").has_value());
    const std::string window = nimbrelWindow(true);
    ASSERT_FALSE(window.empty()) << "the program did not start";
    EXPECT_TRUE(fileBytes(program()) == newProgram);
    EXPECT_EQ(stored("Up"), "a");
    clickExit(window);
}

} // namespace
} // namespace nimbrel::e2e
