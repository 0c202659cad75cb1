// The update as the user meets it: "Proceed" in the AutoUpdate dialog, and the
// program starts that follow a download, on the virtual clock.

#include "support/UpdateHarness.h"

#include <gtest/gtest.h>

#include <set>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;
using Line = ListViewModel::Line;

const std::string vendorServer = "http://127.0.0.1:8765";
const std::string versionUrl = vendorServer + "/nbl.txt";
const std::string packageUrl = vendorServer + "/nblupdate.exe";
const std::string folder = "/home/ann/nimbrel";
const std::string key = "Software\\Microsoft\\Nimbrel";

// A new version as the vendor publishes it: a program of this machine, signed.
std::string program(std::size_t size)
{
    std::string bytes = "\x7f" "ELF";
    bytes.resize(size, 'x');
    return bytes;
}

class AutoUpdateTest : public ::testing::Test, protected UpdateHarness {
protected:
    AutoUpdateTest() : UpdateHarness(vendorServer)
    {
        directory.dir = folder;
        // Every yield lets 50 ms of the virtual clock pass.
        events.pending = [this] { clock.advance(50); };
        registry.createKey(key);
        files.files[folder + "/Nimbrel"] = "the installed program";
    }

    // The version file, the package and its signature, whose trusted comment names the version as
    // scripts/sign-update writes it (the signed version, by default the announced one).
    void publish(const std::string& version, const std::string& package, std::string signedAs = {})
    {
        if (signedAs.empty()) signedAs = version;
        transfer.serve(versionUrl, version);
        transfer.serve(packageUrl, package);
        transfer.serve(packageUrl + ".minisig",
                       FakePackageTrust::signature("Nimbrel " + signedAs + ", file:nblupdate.exe", package));
    }
    std::optional<std::string> stored(const std::string& name) { return registry.queryValue(key, name); }
    // Version 6 of "the new program", downloaded and verified by version 5, with the phase given.
    void downloadedInPhase(const std::string& phase)
    {
        registry.setValue(key, "Up", phase);
        registry.setValue(key, "ver", "5");
        registry.setValue(key, "nver", "6");
        registry.setValue(key, "sha", "digest:the new program");
        files.files[folder + "/nbl"] = "the new program";
    }

    std::vector<std::string> statusTexts() const
    {
        std::vector<std::string> texts;
        for (const Line& line : dialog.ListView1.lines()) texts.push_back(line.text);
        return texts;
    }
    int packageGets() const { return static_cast<int>(std::count(transfer.gets.begin(), transfer.gets.end(), packageUrl)); }
};

TEST_F(AutoUpdateTest, CheckForUpgradeOpensTheDialogWithItsTexts)
{
    dialog.Upnbl_Click();
    EXPECT_TRUE(dialog.frmAutoUpdate.shown());
    EXPECT_EQ(dialog.frmAutoUpdate.caption(), "AutoUpdate");
    EXPECT_EQ(dialog.cmdProceed.caption(), "Proceed");
    EXPECT_EQ(dialog.cmdCancel.caption(), "Cancel");
    EXPECT_EQ(dialog.Label1.caption().substr(0, 45), "AutoUpdate checks the Internet for latest upg");
    EXPECT_TRUE(dialog.ListView1.lines().empty());
    dialog.cmdCancel.userClick();
    EXPECT_FALSE(dialog.frmAutoUpdate.shown());
}

TEST_F(AutoUpdateTest, OfflineTheDialogSaysSoAndFetchesNothing)
{
    probe.online = false;
    dialog.cmdProceed.userClick();
    EXPECT_EQ(dialog.ListView1.lines(), (std::vector<Line>{{"Checking for updates...", 1},
                                                           {"You are currently not conneted to the Internet", 2}}));
    EXPECT_TRUE(transfer.gets.empty());
}

// The network client refused (a module that is not the one built with the program) is said as such, not as
// a machine offline.
TEST_F(AutoUpdateTest, WithoutItsNetworkClientTheDialogSaysNetworkFeaturesAreUnavailable)
{
    networkAvailable = false;
    publish("6", program(200000));
    dialog.cmdProceed.userClick();
    EXPECT_EQ(statusTexts().back(), "Network features are unavailable: the network module installed with the program "
                                    "is missing or is not the one it was built with.");
    EXPECT_TRUE(transfer.gets.empty());
}

TEST_F(AutoUpdateTest, TheInstalledNumberOnTheServerIsNoUpdateAndChangesNothing)
{
    registry.setValue(key, "ver", "8");
    publish("8", program(200000));
    const auto before = registry.keys;
    dialog.cmdProceed.userClick();
    EXPECT_EQ(dialog.ListView1.lines(),
              (std::vector<Line>{{"Checking for updates...", 1}, {"No new update available.", 2}}));
    EXPECT_EQ(registry.keys, before);
    EXPECT_EQ(packageGets(), 0);
}

// A server's lower number is never stored: were it, an old signed package announced just above it would
// count as newer at the next check.
TEST_F(AutoUpdateTest, ALowerServerNumberChangesNothing)
{
    registry.setValue(key, "ver", "7");
    publish("1", program(200000));
    dialog.cmdProceed.userClick();
    EXPECT_EQ(statusTexts().back(), "No new update available.");
    EXPECT_EQ(stored("ver"), "7");
}

// A copy with a lower number stored, or none, counts as at least the version it was built as (5).
TEST_F(AutoUpdateTest, OnlyANumberAboveTheBuildsOwnIsOffered)
{
    registry.setValue(key, "ver", "2");
    publish("4", program(200000), "4");
    dialog.cmdProceed.userClick();
    EXPECT_EQ(statusTexts().back(), "No new update available.");
    EXPECT_EQ(packageGets(), 0);
}

TEST_F(AutoUpdateTest, AMissingVersionIsCreatedAsFiveAndANewerServerNumberIsOffered)
{
    transfer.serve(versionUrl, "6\r\n");
    dialog.cmdProceed.userClick();
    EXPECT_EQ(stored("ver"), "5");
    EXPECT_EQ(statusTexts(), (std::vector<std::string>{"Checking for updates...", "New Update available.",
                                                       "Dowanloading New Version...Please wait.",
                                                       "This may take some time...",
                                                       "Depending on your Internet connection speed",
                                                       "The new version could not be downloaded."}));
}

TEST_F(AutoUpdateTest, ANewerSignedVersionIsSavedAsNblAndTakesOver)
{
    registry.setValue(key, "ver", "5");
    registry.setValue(key, "Up", "a");
    publish("6", program(200000));
    dialog.cmdProceed.userClick();

    EXPECT_EQ(files.files[folder + "/nbl"], program(200000));
    EXPECT_EQ(trust.trialStarts, (std::vector<std::string>{program(200000)})) << "the bytes checked, on trial first";
    EXPECT_EQ(stored("ver"), "5") << "the new number counts once the new program is in place";
    EXPECT_EQ(stored("nver"), "6");
    EXPECT_EQ(stored("sha"), "digest:" + program(200000));
    EXPECT_EQ(stored("Up"), "b");
    EXPECT_EQ(stored("donreq"), "z");
    EXPECT_EQ(stored("App"), localDateTimeText(clock.now().seconds));
    EXPECT_EQ(handOver.started, (std::vector<std::string>{folder + "/nbl"}));
    EXPECT_EQ(exit.ended, 1);
    EXPECT_EQ(dialog.ListView1.lines().back(),
              (Line{"The new version is being installed: it can no longer be cancelled.", 1}));
    EXPECT_FALSE(dialog.cmdCancel.enabled());
}

// A Cancel counts at every step before the new version is installed: while the signature comes, while the
// package is checked, while it starts on trial. Nothing is kept, nothing is pending, nothing is started.
TEST_F(AutoUpdateTest, ACancelAtAnyStepBeforeTheInstallKeepsNothing)
{
    struct Step {
        const char* name;
        std::function<void()> arm;
    };
    const auto cancel = [this] { dialog.cmdCancel.userClick(); };
    const Step steps[] = {
        {"while the signature comes", [&] {
             transfer.duringGet = [&](const std::string& url) {
                 if (url == packageUrl + ".minisig") cancel();
             };
         }},
        {"while the package starts on trial", [&] { trust.duringTrial = cancel; }},
        {"after the trial, before the install", [&] {
             trust.duringTrial = [&] { events.pending = [&] { cancel(); }; };
         }},
    };
    for (const Step& step : steps) {
        registry.setValue(key, "ver", "5");
        registry.setValue(key, "Up", "a");
        files.files.erase(folder + "/nbl");
        transfer.duringGet = nullptr;
        trust.duringTrial = nullptr;
        events.pending = [this] { clock.advance(50); };
        publish("6", program(200000));
        step.arm();
        dialog.Upnbl_Click();
        dialog.cmdProceed.userClick();

        EXPECT_FALSE(files.holds(folder + "/nbl")) << step.name;
        EXPECT_FALSE(files.holds(folder + "/nbl.staged")) << step.name;
        EXPECT_EQ(stored("Up"), "a") << step.name;
        EXPECT_EQ(stored("sha"), std::nullopt) << step.name;
        EXPECT_TRUE(handOver.started.empty()) << step.name;
        EXPECT_EQ(exit.ended, 0) << step.name;
        EXPECT_FALSE(dialog.frmAutoUpdate.shown()) << step.name;
        EXPECT_TRUE(dialog.cmdCancel.enabled()) << step.name;
    }
}

// Past the point of no return a click on Cancel (or the close box) changes nothing: the window says the new
// version is being installed, and it is.
TEST_F(AutoUpdateTest, PastThePointOfNoReturnCancelIsDisabledAndTheInstallGoesOn)
{
    registry.setValue(key, "ver", "5");
    publish("6", program(200000));
    bool disabledWhenClicked = false;
    std::string lineWhenClicked;
    events.pending = [&] {
        clock.advance(50);
        if (dialog.ListView1.lines().empty() || dialog.cmdCancel.enabled()) return;
        disabledWhenClicked = true;
        lineWhenClicked = dialog.ListView1.lines().back().text;
        dialog.cmdCancel.userClick();
        dialog.cmdCancel_Click();
    };
    dialog.Upnbl_Click();
    dialog.cmdProceed.userClick();

    EXPECT_TRUE(disabledWhenClicked);
    EXPECT_EQ(lineWhenClicked, "The new version is being installed: it can no longer be cancelled.");
    EXPECT_TRUE(dialog.frmAutoUpdate.shown());
    EXPECT_EQ(stored("Up"), "b");
    EXPECT_EQ(handOver.started, (std::vector<std::string>{folder + "/nbl"}));
}

// The file that is started is the file that was checked: "nbl" changed after the download is not started,
// and nothing is left pending.
TEST_F(AutoUpdateTest, AnNblChangedAfterItWasCheckedIsNotStarted)
{
    registry.setValue(key, "ver", "5");
    publish("6", program(200000));
    events.pending = [&] {
        clock.advance(50);
        if (files.holds(folder + "/nbl") && !dialog.cmdCancel.enabled()) files.files[folder + "/nbl"] = "\x7f" "ELF planted";
    };
    dialog.cmdProceed.userClick();

    EXPECT_TRUE(handOver.started.empty());
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_FALSE(files.holds(folder + "/nbl"));
    EXPECT_EQ(dialog.ListView1.lines().back().text, "The new version was refused: it does not start on this machine.");
}

TEST_F(AutoUpdateTest, AFailedDownloadIsTriedOnceAndSaysSo)
{
    registry.setValue(key, "ver", "5");
    transfer.serve(versionUrl, "6");
    transfer.resources[packageUrl] = {"HTTP/1.1 200 OK\r\nContent-Length: 500000", program(200000)};
    dialog.cmdProceed.userClick();
    EXPECT_EQ(packageGets(), 1);
    EXPECT_EQ(dialog.ListView1.lines().back(), (Line{"The new version could not be downloaded.", 2}));
    EXPECT_EQ(exit.ended, 0);
    EXPECT_TRUE(handOver.started.empty());
    EXPECT_EQ(stored("Up"), std::nullopt);
    EXPECT_EQ(stored("ver"), "5");
    EXPECT_FALSE(files.holds(folder + "/nbl.staged")) << "nothing of it stays in the folder";
}

// Each refusal is final for that Proceed, and its line names the step that refused.
TEST_F(AutoUpdateTest, APackageThatFailsACheckIsRefusedOnceWithTheStepThatFailed)
{
    struct Case {
        const char* name;
        std::function<void()> setUp;
        std::string line;
    };
    const std::string signedPackage = program(200000);
    const Case cases[] = {
        {"signed for another package",
         [&] { transfer.serve(packageUrl + ".minisig", FakePackageTrust::signature("Nimbrel 6, file:nblupdate.exe", program(200001))); },
         "The new version was refused: it is not signed with the update key."},
        {"an old signed package announced as new", [&] { publish("6", signedPackage, "4"); },
         "The new version was refused: its signed version is not the one announced, or not newer."},
        {"a signature that names no version",
         [&] { transfer.serve(packageUrl + ".minisig", FakePackageTrust::signature("timestamp:1", signedPackage)); },
         "The new version was refused: its signed version is not the one announced, or not newer."},
        {"not a program of this machine", [&] { publish("6", std::string(200000, 'x')); },
         "The new version was refused: it does not start on this machine."},
        {"a program that does not start", [&] { trust.starts = false; },
         "The new version was refused: it does not start on this machine."},
        {"a full disk", [&] { files.writeFails = true; },
         "The new version could not be saved beside the program."},
    };
    for (const Case& c : cases) {
        registry.setValue(key, "ver", "5");
        publish("6", signedPackage);
        trust.starts = true;
        c.setUp();
        transfer.gets.clear();
        dialog.cmdProceed.userClick();
        files.writeFails = false;
        EXPECT_EQ(statusTexts().back(), c.line) << c.name;
        EXPECT_EQ(packageGets(), 1) << c.name;
        EXPECT_FALSE(files.holds(folder + "/nbl")) << c.name;
        EXPECT_FALSE(files.holds(folder + "/nbl.staged")) << c.name;
        EXPECT_EQ(stored("Up"), std::nullopt) << c.name;
        EXPECT_EQ(stored("ver"), "5") << c.name;
        EXPECT_EQ(exit.ended, 0) << c.name;
    }
}

TEST_F(AutoUpdateTest, CancelEndsTheDownloadAtOnceAndKeepsNothing)
{
    registry.setValue(key, "ver", "5");
    publish("6", program(200000));
    dialog.Upnbl_Click();
    transfer.duringGet = [&](const std::string& url) {
        if (url == packageUrl) dialog.cmdCancel.userClick();
    };
    dialog.cmdProceed.userClick();
    EXPECT_FALSE(dialog.frmAutoUpdate.shown());
    EXPECT_EQ(transfer.gets.back(), packageUrl) << "nothing is fetched after the cancel";
    EXPECT_TRUE(files.files.count(folder + "/nbl") == 0 && files.files.count(folder + "/nbl.staged") == 0);
    EXPECT_EQ(stored("Up"), std::nullopt);
    EXPECT_TRUE(handOver.started.empty());

    // Opened again, the dialog is empty and Proceed works.
    transfer.duringGet = nullptr;
    dialog.Upnbl_Click();
    EXPECT_TRUE(dialog.ListView1.lines().empty());
    dialog.cmdProceed.userClick();
    EXPECT_EQ(files.files[folder + "/nbl"], program(200000));
    EXPECT_EQ(exit.ended, 1);
}

TEST_F(AutoUpdateTest, ABrokenKeyFileIsReportedAndTheBuiltInKeyServes)
{
    trust.brokenKeyFile = true;
    registry.setValue(key, "ver", "5");
    publish("6", program(200000));
    dialog.cmdProceed.userClick();
    EXPECT_EQ(dialog.ListView1.lines()[1],
              (Line{"The key file update-key.pub beside the program is broken: it holds no minisign key.", 2}));
    EXPECT_EQ(files.files[folder + "/nbl"], program(200000));
}

TEST_F(AutoUpdateTest, WithoutAKeyNothingIsFetched)
{
    trust.key = false;
    publish("6", program(200000));
    dialog.cmdProceed.userClick();
    EXPECT_EQ(dialog.ListView1.lines().back(),
              (Line{"Updates cannot be verified on this copy: it has no update key.", 2}));
    EXPECT_TRUE(transfer.gets.empty());
}

TEST_F(AutoUpdateTest, ACopyInAFolderItCannotWriteDownloadsNothing)
{
    files.writable = false;
    publish("6", program(200000));
    dialog.cmdProceed.userClick();
    EXPECT_EQ(dialog.ListView1.lines().back(),
              (Line{"This copy cannot update itself: its folder cannot be written.", 2}));
    EXPECT_TRUE(transfer.gets.empty());
}

TEST_F(AutoUpdateTest, AnInstalledCopyLeavesItsUpdatesToThePackageManager)
{
    // Installed where this user could not write at the start; root may write there all the same.
    directory.isPortable = false;
    publish("6", program(200000));
    dialog.cmdProceed.userClick();
    EXPECT_EQ(dialog.ListView1.lines().back(),
              (Line{"This copy was installed by the system's package manager, which brings its updates.", 2}));
    EXPECT_TRUE(transfer.gets.empty());
}

TEST_F(AutoUpdateTest, AnErrorInTheVersionTestIsReportedAndFindsNoUpdate)
{
    registry.setValue(key, "ver", "5");
    publish("40000", program(200000));
    dialog.cmdProceed.userClick();
    EXPECT_EQ(statusTexts().back(), "No new update available.");
    ASSERT_EQ(reporter.errors.size(), 1u);
    EXPECT_EQ(reporter.errors[0].tag, "frmAutoUpdate,cmd_Proceed");
    EXPECT_EQ(reporter.errors[0].number, 6);
    EXPECT_EQ(packageGets(), 0);
}

// Only the status line says whether the file was found; a header's value that mentions "404" says nothing.
TEST_F(AutoUpdateTest, A404InsideAnotherHeadersValueIsNoStatus)
{
    registry.setValue(key, "ver", "5");
    publish("6", program(200000));
    transfer.resources[versionUrl].headers += "\r\nETag: \"5f404a1\"";
    dialog.cmdProceed.userClick();
    EXPECT_NE(std::find(statusTexts().begin(), statusTexts().end(), "New Update available."), statusTexts().end());
}

// The version file is asked for once: its one answer gives its length and its number, within one time limit.
TEST_F(AutoUpdateTest, TheVersionFileIsFetchedOnce)
{
    registry.setValue(key, "ver", "5");
    publish("5", program(200000));
    dialog.cmdProceed.userClick();
    EXPECT_EQ(std::count(transfer.gets.begin(), transfer.gets.end(), versionUrl), 1);
    EXPECT_EQ(statusTexts().back(), "No new update available.");
}

// A server that sends the version file chunked announces no length: the file is what came, to its end.
TEST_F(AutoUpdateTest, AVersionFileWithoutLengthIsReadToItsEnd)
{
    registry.setValue(key, "ver", "5");
    publish("6", program(200000));
    transfer.resources[versionUrl].headers = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked";
    transfer.resources[packageUrl].headers = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked";
    dialog.cmdProceed.userClick();
    EXPECT_EQ(handOver.started, (std::vector<std::string>{folder + "/nbl"}));
}

TEST(RemoteLength, IsTheContentLengthInAnyLetterCaseOrTheBodyOfAFoundFile)
{
    EXPECT_EQ(remoteLength("HTTP/1.1 200 OK\r\nContent-Length:   1234  \r\nServer: x", 1), 1234);
    EXPECT_EQ(remoteLength("HTTP/1.1 200 OK\r\ncontent-length: 77\r\nServer: x", 1), 77);
    EXPECT_EQ(remoteLength("HTTP/1.1 200 OK\r\nServer: x\r\nX-Note: content-length: 9", 3), 3)
        << "only a line of its own names the length";
    EXPECT_EQ(remoteLength("HTTP/1.1 404 Not Found\r\nContent-Length: 9", 9), 0);
    EXPECT_EQ(remoteLength("HTTP/1.1 200 404\r\nContent-Length: 9", 9), 9);
    EXPECT_EQ(remoteLength("HTTP/1.1 2000 OK\r\nContent-Length: 9", 9), 0);
    EXPECT_EQ(remoteLength("", 9), 0) << "no answer";
    EXPECT_EQ(statusCode("HTTP/2 204"), 204);
}

TEST_F(AutoUpdateTest, TheSignedVersionIsTheNumberOfACommentForThisFileExactly)
{
    EXPECT_EQ(signedVersion("Nimbrel 6, file:nblupdate.exe"), 6);
    EXPECT_EQ(signedVersion("Nimbrel 32767, file:nblupdate.exe \t"), 32767);
    EXPECT_EQ(signedVersion("Nimbrel 6"), std::nullopt);
    EXPECT_EQ(signedVersion("Nimbrel 6, file:other-tool"), std::nullopt);
    EXPECT_EQ(signedVersion("Nimbrel 6, file:nblupdate.exe.old"), std::nullopt);
    EXPECT_EQ(signedVersion("Nimbrel 6, file:nblupdate.exe, note"), std::nullopt);
    EXPECT_EQ(signedVersion("Nimbrel 61x, file:nblupdate.exe"), std::nullopt);
    EXPECT_EQ(signedVersion("Nimbrel 99999, file:nblupdate.exe"), std::nullopt);
    EXPECT_EQ(signedVersion("nimbrel 6, file:nblupdate.exe"), std::nullopt);
    EXPECT_EQ(signedVersion("timestamp:1765000000\tfile:nblupdate.exe"), std::nullopt);
}

TEST_F(AutoUpdateTest, AnAnnouncedLengthAcceptsTenBytesEitherSideOfTheSizeLessOne)
{
    struct Case {
        std::size_t received;
        bool accepted;
    };
    transfer.serve(versionUrl, "6");
    ASSERT_TRUE(updateServer.isNewerVersion("5"));
    for (const Case c : {Case{199990, false}, Case{199991, true}, Case{200011, true}, Case{200012, false}}) {
        files.files.clear();
        transfer.resources[packageUrl] = {"HTTP/1.1 200 OK\r\nContent-Length: 200000", program(c.received)};
        transfer.serve(packageUrl + ".minisig", FakePackageTrust::signature("Nimbrel 6, file:nblupdate.exe", program(c.received)));
        EXPECT_EQ(updateServer.downloadPackage() == UpdateServer::Download::Kept, c.accepted) << c.received;
        EXPECT_EQ(files.holds(folder + "/nbl"), c.accepted) << c.received;
    }
}

TEST_F(AutoUpdateTest, VersionNumbersOutsideSixteenBitsAreOverflow)
{
    EXPECT_EQ(versionNumber("32767"), 32767);
    EXPECT_EQ(versionNumber("6.5 beta"), 6);
    EXPECT_EQ(versionNumber("abc"), 0);
    EXPECT_THROW(versionNumber("32768"), RuntimeError);
}

TEST_F(AutoUpdateTest, PhaseBAtANormalStartReplacesTheProgramAndEndsOnceTheNewOneCameUp)
{
    downloadedInPhase("b");
    startProgram();
    EXPECT_EQ(files.files[folder + "/Nimbrel"], "the new program");
    EXPECT_EQ(handOver.started, (std::vector<std::string>{folder + "/Nimbrel"}));
    // The new program went through its clean-up: its number counts, and the old program it kept beside it goes.
    EXPECT_EQ(stored("ver"), "6");
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_FALSE(files.holds(folder + "/Nimbrel-previous"));
    EXPECT_FALSE(files.holds(folder + "/nbl"));
    EXPECT_EQ(exit.ended, 1);
    // 12 s of waits, then the new program's 5 s.
    EXPECT_GE(clock.elapsedMs(), 17000u);
    EXPECT_LT(clock.elapsedMs(), 17200u);
}

TEST_F(AutoUpdateTest, ANewVersionThatDoesNotComeUpIsReplacedByTheOldOneWhichSaysSo)
{
    downloadedInPhase("b");
    registry.setValue(key, "donreq", "z");
    handOver.onStart = nullptr; // nothing started comes up
    startProgram();

    EXPECT_EQ(handOver.started, (std::vector<std::string>{folder + "/Nimbrel", folder + "/Nimbrel"}));
    EXPECT_EQ(files.files[folder + "/Nimbrel"], "the installed program");
    EXPECT_EQ(stored("ver"), "5");
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(stored("donreq"), std::nullopt) << "no thanks for what did not happen";
    EXPECT_FALSE(files.holds(folder + "/nbl"));
    EXPECT_FALSE(files.holds(folder + "/Nimbrel-previous"));
    EXPECT_EQ(exit.ended, 1);
    EXPECT_GE(clock.elapsedMs(), 12000u + 60000u) << "a minute to come up";

    // The old program, started again, says what happened, once.
    startProgram();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].prompt, "The new version of Nimbrel did not start, so the previous version was put back.");
    startProgram();
    EXPECT_EQ(messages.shown.size(), 1u);
}

// A crash after the new program was copied into place, before the phase was moved on: the phase, repeated,
// keeps the backup it made of the old program, which is what goes back when the new one does not come up.
TEST_F(AutoUpdateTest, APhaseRepeatedAfterACrashBetweenItsCopiesKeepsTheOldProgramsBackup)
{
    downloadedInPhase("b");
    files.files[folder + "/Nimbrel"] = "the new program";
    files.files[folder + "/Nimbrel-previous"] = "the installed program";
    handOver.onStart = nullptr; // nothing started comes up
    startProgram();
    EXPECT_EQ(files.files[folder + "/Nimbrel"], "the installed program");
    EXPECT_EQ(stored("ver"), "5");
}

// Where the old program cannot be put back (a full disk), its backup is the only copy left of it: it stays, and
// the next start does not say that it was put back.
TEST_F(AutoUpdateTest, AnOldProgramThatCannotBePutBackKeepsItsBackup)
{
    downloadedInPhase("b");
    handOver.onStart = [this](const std::string&) { files.copyFails = true; };
    startProgram();
    EXPECT_EQ(files.files[folder + "/Nimbrel-previous"], "the installed program");
    EXPECT_EQ(stored("upback"), std::nullopt) << "nothing was put back";
}

// Where program files end in ".exe", the update's files are "nbl.exe" and "Nimbrel.exe", in each of its phases.
TEST_F(AutoUpdateTest, TheUpdatesProgramFilesCarryTheSystemsEnding)
{
    files.suffix = ".exe";
    files.files = {{folder + "/Nimbrel.exe", "the installed program"}};
    registry.setValue(key, "ver", "5");
    publish("6", program(200000));
    dialog.cmdProceed.userClick();
    EXPECT_EQ(files.files[folder + "/nbl.exe"], program(200000));
    EXPECT_EQ(handOver.started, (std::vector<std::string>{folder + "/nbl.exe"}));

    startProgram();
    EXPECT_EQ(files.files[folder + "/Nimbrel.exe"], program(200000));
    EXPECT_EQ(handOver.started.back(), folder + "/Nimbrel.exe");
    EXPECT_EQ(std::set<std::string>(files.removed.begin(), files.removed.end()),
              (std::set<std::string>{folder + "/nbl.exe", folder + "/Nimbrel-previous.exe"}));
    EXPECT_FALSE(files.holds(folder + "/nbl.exe"));
}

TEST_F(AutoUpdateTest, AFailedCopyKeepsTheOldProgramAndGoesBackToPhaseA)
{
    downloadedInPhase("B");
    files.copyFails = true;
    startProgram();
    EXPECT_EQ(files.files[folder + "/Nimbrel"], "the installed program");
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(stored("ver"), "5") << "so that the next check offers the update again";
    EXPECT_FALSE(files.holds(folder + "/nbl"));
    EXPECT_EQ(stored("sha"), std::nullopt);
    EXPECT_EQ(stored("donreq"), std::nullopt);
}

// Bytes put in "nbl" after the download (another file, or a link planted in its place, which the real folder
// does not follow) are not what was verified: the old program stays.
TEST_F(AutoUpdateTest, AnNblThatIsNotThePackageVerifiedIsNotInstalled)
{
    registry.setValue(key, "ver", "5");
    publish("6", program(200000));
    dialog.cmdProceed.userClick();
    ASSERT_EQ(stored("Up"), "b");
    files.files[folder + "/nbl"] = program(200000) + " and a little more";
    startProgram();
    EXPECT_EQ(files.files[folder + "/Nimbrel"], "the installed program");
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(stored("ver"), "5");
    EXPECT_FALSE(files.holds(folder + "/nbl"));
}

// The new program in place, the old one beside it: as the replacing process leaves them.
struct NewProgramInPlace : AutoUpdateTest {
    NewProgramInPlace()
    {
        downloadedInPhase("c");
        files.files[folder + "/Nimbrel-previous"] = "the installed program";
        files.files[folder + "/Nimbrel"] = "the new program";
        registry.setValue(key, "donreq", "z");
    }
};

// A new program that dies before its event loop (a crash at its real start, or a kill) leaves the next start,
// whatever became of the process that replaced it, to put the old program back, which says so.
TEST_F(NewProgramInPlace, ANewProgramThatDiedBeforeItsEventLoopIsPutBackAtTheNextStart)
{
    phases.finishUpdate(); // the new program's start, which dies here
    EXPECT_EQ(stored(UpdatePhases::comingUpValue), "z");
    EXPECT_EQ(files.files[folder + "/Nimbrel"], "the new program");

    startProgram();
    EXPECT_EQ(files.files[folder + "/Nimbrel"], "the installed program");
    EXPECT_EQ(handOver.started, (std::vector<std::string>{folder + "/Nimbrel"})) << "the old program runs instead";
    EXPECT_EQ(exit.ended, 1);
    EXPECT_EQ(stored("ver"), "5");
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(stored(UpdatePhases::comingUpValue), std::nullopt);
    EXPECT_FALSE(files.holds(folder + "/Nimbrel-previous"));
    EXPECT_FALSE(files.holds(folder + "/nbl"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].prompt,
              "The new version of Nimbrel did not start, so the previous version was put back.");
}

// The new program stays only once it reaches its event loop: from then on a death changes nothing.
TEST_F(NewProgramInPlace, ANewProgramThatReachedItsEventLoopStays)
{
    startProgram();
    EXPECT_EQ(stored(UpdatePhases::comingUpValue), std::nullopt);
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(stored("ver"), "6");
    EXPECT_FALSE(files.holds(folder + "/Nimbrel-previous"));

    startProgram();
    EXPECT_EQ(files.files[folder + "/Nimbrel"], "the new program");
    EXPECT_EQ(exit.ended, 0);
}

// A new program that comes up only after the replacing process put the old one back ends, and the old one
// runs: no two versions run from one folder.
TEST_F(NewProgramInPlace, ANewProgramThatCameUpAfterTheOldOneWasPutBackEndsAndLetsTheOldOneRun)
{
    phases.finishUpdate(); // the new program, starting slowly
    // Meanwhile the replacing process gave up waiting and put the old program back.
    files.files[folder + "/Nimbrel"] = "the installed program";
    registry.setValue(key, "Up", "a");
    registry.setValue(key, UpdatePhases::putBackValue, "z");
    handOver.onStart = nullptr;

    phases.startedUp();
    EXPECT_EQ(handOver.started, (std::vector<std::string>{folder + "/Nimbrel"}));
    EXPECT_EQ(exit.ended, 1);
    EXPECT_EQ(files.files[folder + "/Nimbrel"], "the installed program");
    EXPECT_TRUE(messages.shown.empty()) << "no thanks for a version that was put back";
}

TEST_F(AutoUpdateTest, PhaseCThanksOnceForAnyZAndOpensTheUpgradePage)
{
    registry.setValue(key, "Up", "c");
    registry.setValue(key, "donreq", "xZy");
    files.files[folder + "/nbl"] = "the new program";
    startProgram();
    EXPECT_FALSE(files.holds(folder + "/nbl"));
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(stored("donreq"), std::nullopt);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].prompt, "Nimbrel Upgraded. Thank you");
    EXPECT_EQ(messages.shown[0].style, mb::okOnly);
    EXPECT_EQ(messages.shown[0].title, "Nimbrel");
    EXPECT_EQ(urls.opened, (std::vector<std::string>{server + "/upgrade.php"}));
    EXPECT_EQ(exit.ended, 0);
    EXPECT_GE(clock.elapsedMs(), 5000u);

    startProgram();
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(AutoUpdateTest, PhaseCWithoutZShowsNothingAndKeepsTheRequest)
{
    registry.setValue(key, "Up", "c");
    registry.setValue(key, "donreq", "q");
    startProgram();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(urls.opened.empty());
    EXPECT_EQ(stored("donreq"), "q");
    EXPECT_EQ(stored("Up"), "a");
}

// A download the program ended in the middle of (no phase "b" stored) leaves nothing behind after the next start;
// an installed copy's folder, which holds the system's files, is not touched.
TEST_F(AutoUpdateTest, AStartWithNothingPendingRemovesADownloadLeftBehind)
{
    files.files[folder + "/nbl"] = program(200000);
    startProgram();
    EXPECT_FALSE(files.holds(folder + "/nbl"));

    directory.isPortable = false;
    files.files[folder + "/nbl"] = "a program of the system's";
    startProgram();
    EXPECT_TRUE(files.holds(folder + "/nbl"));
}

TEST_F(AutoUpdateTest, PhaseABOrNoPhaseAtAllIsNothingPending)
{
    for (const char* phase : {"ab", ""}) {
        registry.setValue(key, "Up", phase);
        files.files[folder + "/nbl"] = "the new program";
        startProgram();
        EXPECT_EQ(files.files[folder + "/Nimbrel"], "the installed program");
        EXPECT_EQ(clock.elapsedMs(), 0u);
    }
    registry.deleteValue(key, "Up");
    startProgram();
    EXPECT_EQ(clock.elapsedMs(), 0u);
    EXPECT_EQ(exit.ended, 0);
}

} // namespace
} // namespace nimbrel
