// The update against a vendor's server of the test's own on 127.0.0.1, hostile
// or broken in the ways a real one can be: the real transfer object, the real
// program folder and the real signature check, with the per-user store and the
// program starts as fakes and the phases' waits on the virtual clock. Whatever
// the server does, the program file stays whole and nothing is left pending.

#include "platform/linux/ProgramFolderFiles.h"
#include "platform/linux/VendorTrust.h"
#include "support/LoopbackHttpServer.h"
#include "support/MinisignTool.h"
#include "support/UpdateHarness.h"
#include "program/linux/network/QtHttpTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace nimbrel::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string key = "Software\\Microsoft\\Nimbrel";

class SelfUpdateFromAServer : public ::testing::Test, protected UpdateSurroundings {
protected:
    void SetUp() override
    {
        ASSERT_EQ(vendor.failure(), "");
        fs::create_directories(folder);
        directory.dir = folder.string();
        events.pending = [this] { clock.advance(50); };
        registry.createKey(key);
        registry.setValue(key, "ver", "5");
        writeBytes(program(), oldProgram);

        // The new version: the built program with a mark of its own at the end, which does not stop it running.
        newProgram = fileBytes(NIMBREL_EXECUTABLE) + "\nNimbrel 6, built for the update test\n";
        ASSERT_GT(newProgram.size(), 100000u);
        server.answer("/nbl.txt", HttpAnswer::ok("6\r\n"));
        publish(newProgram, "6");
        makeDialog();
        // The program started in the program's place runs its start-up phase and reaches its event loop, as the
        // new version would.
        handOver.onStart = [this](const std::string& started) {
            if (started != program()) return;
            const int ended = exit.ended;
            phases.finishUpdate();
            if (exit.ended == ended) phases.startedUp();
        };
    }
    void TearDown() override { fs::remove_all(folder); }

    // The package and its signature, whose trusted comment names the version signed.
    void publish(const std::string& package, const std::string& signedVersion)
    {
        const std::string file = (folder.parent_path() / ("package-" + std::to_string(::getpid()))).string();
        writeBytes(file, package);
        const std::string signature = vendor.sign(file, false, "Nimbrel " + signedVersion + ", file:nblupdate.exe");
        fs::remove(file);
        server.answer("/nblupdate.exe", HttpAnswer::ok(package));
        server.answer("/nblupdate.exe.minisig", HttpAnswer::ok(signature));
    }
    std::string program() const { return (folder / "Nimbrel").string(); }
    std::string downloaded() const { return (folder / "nbl").string(); }
    std::optional<std::string> stored(const std::string& name) { return registry.queryValue(key, name); }
    std::string lastLine() const { return made->ListView1.lines().back().text; }
    std::vector<std::string> folderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Nothing installed and nothing pending: the old program alone in its folder, with its own number.
    void expectTheOldProgramAlone()
    {
        EXPECT_EQ(fileBytes(program()), oldProgram);
        EXPECT_EQ(folderNames(), std::vector<std::string>{"Nimbrel"});
        EXPECT_EQ(stored("ver"), "5");
        EXPECT_EQ(stored("Up"), std::nullopt);
        EXPECT_EQ(exit.ended, 0);
    }

    const std::string oldProgram = "\x7f" "ELF the installed program, version 5";
    fs::path folder = fs::temp_directory_path() / ("nimbrel-update-" + std::to_string(::getpid()));
    MinisignTool vendor;
    LoopbackHttpServer server;
    std::string newProgram;

    program::QtHttpTransfer transfer;
    ProgramFolderFiles files;
    VendorTrust trust{vendor.publicKeyLine(), (folder / "update-key.pub").string()};
    std::function<bool()> online = [] { return true; };
    UpdateLimits limits;
    std::unique_ptr<UpdateServer> updateServer;
    UpdatePhases phases{{clock, events, files, directory, registry, modReg, handOver, exit, messages, urls},
                        server.url()};
    std::unique_ptr<AutoUpdateDialog> made;

    void makeDialog()
    {
        made.reset();
        updateServer = std::make_unique<UpdateServer>(
            UpdateServer::Services{transfer, events, trust, files, directory, modReg, online}, server.url(), limits);
        made = std::make_unique<AutoUpdateDialog>(
            AutoUpdateDialog::Neighbours{*updateServer, phases, modReg, trust, files, directory, reporter, online});
    }
    // The dialog again, with the limits the test set.
    void limitsChanged() { makeDialog(); }
};

TEST_F(SelfUpdateFromAServer, ASignedNewerVersionIsKeptVerifiedAndPutInPlace)
{
    made->cmdProceed.userClick();
    ASSERT_EQ(handOver.started, std::vector<std::string>{downloaded()}) << lastLine();
    EXPECT_EQ(fileBytes(downloaded()), newProgram);
    EXPECT_EQ(stored("Up"), "b");
    EXPECT_EQ(stored("ver"), "5");

    phases.finishUpdate();
    EXPECT_EQ(fileBytes(program()), newProgram);
    EXPECT_EQ(stored("ver"), "6");
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(folderNames(), std::vector<std::string>{"Nimbrel"}) << "neither nbl nor the old program stays";
}

TEST_F(SelfUpdateFromAServer, ANewVersionThatDoesNotComeUpIsReplacedByTheOldOne)
{
    made->cmdProceed.userClick();
    ASSERT_EQ(stored("Up"), "b") << lastLine();
    handOver.onStart = nullptr; // the new program never gets to its clean-up
    phases.finishUpdate();
    EXPECT_EQ(fileBytes(program()), oldProgram);
    EXPECT_EQ(stored("ver"), "5");
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(folderNames(), std::vector<std::string>{"Nimbrel"});
}

TEST_F(SelfUpdateFromAServer, AHttp11ServersLowerCaseHeadersFindTheUpdate)
{
    server.answer("/nbl.txt", HttpAnswer::ok("6\r\n", {"content-length: 3"}));
    server.answer("/nblupdate.exe",
                  HttpAnswer::ok(newProgram, {"content-length: " + std::to_string(newProgram.size())}));
    made->cmdProceed.userClick();
    EXPECT_EQ(stored("Up"), "b") << lastLine();
    EXPECT_EQ(fileBytes(downloaded()), newProgram);
}

TEST_F(SelfUpdateFromAServer, AnEndlessPackageIsCutOffAndNothingOfItStays)
{
    limits.package = {8 * 1024 * 1024, 60s};
    limitsChanged();
    server.answer("/nblupdate.exe", HttpAnswer::endless(std::string(65536, 'e'), 65536));
    made->cmdProceed.userClick();
    EXPECT_EQ(lastLine(), "The new version could not be downloaded.");
    expectTheOldProgramAlone();
}

TEST_F(SelfUpdateFromAServer, AVersionFileThatNeverEndsFindsNoUpdate)
{
    server.answer("/nbl.txt", HttpAnswer::endless("7777777777", 1000000));
    made->cmdProceed.userClick();
    EXPECT_EQ(lastLine(), "No new update available.");
    EXPECT_TRUE(server.requestsFor("/nblupdate.exe").empty());
    expectTheOldProgramAlone();
}

TEST_F(SelfUpdateFromAServer, ATricklingServerIsCutOffAtTheOverallTime)
{
    limits.package = {64 * 1024 * 1024, 800ms};
    limitsChanged();
    server.answer("/nblupdate.exe", HttpAnswer::trickle(newProgram.substr(0, 20000), 100, 50ms));
    made->cmdProceed.userClick();
    EXPECT_EQ(lastLine(), "The new version could not be downloaded.");
    EXPECT_EQ(server.requestsFor("/nblupdate.exe").size(), 1u) << "one try per Proceed";
    expectTheOldProgramAlone();
}

TEST_F(SelfUpdateFromAServer, AnOldSignedPackageAnnouncedAsNewIsRefused)
{
    publish(newProgram, "4");
    made->cmdProceed.userClick();
    EXPECT_EQ(lastLine(), "The new version was refused: its signed version is not the one announced, or not newer.");
    EXPECT_EQ(server.requestsFor("/nblupdate.exe.minisig").size(), 1u);
    expectTheOldProgramAlone();
}

TEST_F(SelfUpdateFromAServer, ASignedPackageThatCannotStartIsRefusedBeforeAnythingIsWritten)
{
    // A program whose loader is not on this machine: "required file not found" at every start.
    std::string broken = newProgram;
    const std::size_t loader = broken.find("/lib64/ld-linux");
    ASSERT_NE(loader, std::string::npos);
    broken[loader + 1] = 'X';
    publish(broken, "6");
    made->cmdProceed.userClick();
    EXPECT_EQ(lastLine(), "The new version was refused: it does not start on this machine.");
    expectTheOldProgramAlone();

    // Nor does a signed program that fails at once.
    publish(fileBytes("/bin/false"), "6");
    made->cmdProceed.userClick();
    EXPECT_EQ(lastLine(), "The new version was refused: it does not start on this machine.");
    expectTheOldProgramAlone();
}

TEST_F(SelfUpdateFromAServer, ALinkPlantedAsNblAfterTheDownloadIsNotInstalled)
{
    made->cmdProceed.userClick();
    ASSERT_EQ(stored("Up"), "b") << lastLine();
    // The same bytes, unsigned, elsewhere; nbl made a link to them.
    const std::string planted = (folder / "planted").string();
    writeBytes(planted, newProgram);
    fs::remove(downloaded());
    fs::create_symlink(planted, downloaded());

    phases.finishUpdate();
    EXPECT_EQ(fileBytes(program()), oldProgram);
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_EQ(stored("ver"), "5");
    EXPECT_FALSE(fs::is_symlink(downloaded()));
}

} // namespace
} // namespace nimbrel::testing
