// Which key decides, and what counts as a program for this machine.

#include "platform/linux/VendorTrust.h"
#include "support/MinisignTool.h"

#include <gtest/gtest.h>

#include <elf.h>
#include <filesystem>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;
namespace fs = std::filesystem;

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

class VendorTrustTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(vendor.failure(), "");
        ASSERT_EQ(stranger.failure(), "");
        folder = fs::temp_directory_path() / ("nimbrel-trust-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        program = fileBytes(NIMBREL_EXECUTABLE);
        ASSERT_GT(program.size(), 1000u);
        signature = vendor.sign(NIMBREL_EXECUTABLE);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string keyFile() const { return (folder / "update-key.pub").string(); }

    MinisignTool vendor;
    MinisignTool stranger;
    fs::path folder;
    std::string program;
    std::string signature;
};

TEST_F(VendorTrustTest, TheBuiltInKeyDecidesWhenNoKeyFileIsBeside)
{
    VendorTrust trust(vendor.publicKeyLine(), keyFile());
    EXPECT_TRUE(trust.hasKey());
    EXPECT_TRUE(trust.signedByVendor(bytesOf(program), signature));
}

TEST_F(VendorTrustTest, AKeyFileBesideTheProgramReplacesTheBuiltInKey)
{
    writeBytes(keyFile(), stranger.publicKeyText());
    VendorTrust trust(vendor.publicKeyLine(), keyFile());
    EXPECT_FALSE(trust.signedByVendor(bytesOf(program), signature));
    EXPECT_TRUE(trust.signedByVendor(bytesOf(program), stranger.sign(NIMBREL_EXECUTABLE)));
}

TEST_F(VendorTrustTest, WithoutAnyKeyNothingIsTrusted)
{
    VendorTrust none("", keyFile());
    EXPECT_FALSE(none.hasKey());
    EXPECT_FALSE(none.keyFileBroken());
    EXPECT_FALSE(none.signedByVendor(bytesOf(program), signature));
}

TEST_F(VendorTrustTest, ABrokenKeyFileIsSaidToBeBrokenAndTheBuiltInKeyServes)
{
    writeBytes(keyFile(), "untrusted comment: minisign public key\nRWS-broken\n");
    VendorTrust broken(vendor.publicKeyLine(), keyFile());
    EXPECT_TRUE(broken.keyFileBroken());
    EXPECT_TRUE(broken.hasKey());
    EXPECT_TRUE(broken.signedByVendor(bytesOf(program), signature));

    VendorTrust brokenWithoutBuiltIn("", keyFile());
    EXPECT_TRUE(brokenWithoutBuiltIn.keyFileBroken());
    EXPECT_FALSE(brokenWithoutBuiltIn.hasKey());
}

// A key file as an editor leaves it (a blank line more, CR LF line ends, blanks after the key) is the key.
TEST_F(VendorTrustTest, AKeyFileWithTrailingBlankLinesIsTheKey)
{
    const std::string text = stranger.publicKeyText();
    for (const std::string& edited : {text + "\n", text + "\n\n\n", text + "  \r\n", text.substr(0, text.size() - 1)}) {
        writeBytes(keyFile(), edited);
        VendorTrust trust(vendor.publicKeyLine(), keyFile());
        EXPECT_FALSE(trust.keyFileBroken());
        EXPECT_TRUE(trust.signedByVendor(bytesOf(program), stranger.sign(NIMBREL_EXECUTABLE)));
    }
}

TEST_F(VendorTrustTest, OnlyAProgramThatEndsWellOnTrialStartsHere)
{
    VendorTrust trust("", keyFile());
    EXPECT_TRUE(trust.startsHere(bytesOf(fileBytes("/bin/true"))));
    EXPECT_FALSE(trust.startsHere(bytesOf(fileBytes("/bin/false"))));
    EXPECT_FALSE(trust.startsHere(bytesOf("not a program at all")));

    // A program whose loader is not on this machine cannot be started at all.
    std::string badLoader = fileBytes("/bin/true");
    const std::size_t at = badLoader.find("/lib64/ld-linux");
    ASSERT_NE(at, std::string::npos);
    badLoader[at + 1] = 'X';
    EXPECT_FALSE(trust.startsHere(bytesOf(badLoader)));

    // The program itself, on trial, goes through its start to its event loop and ends well.
    EXPECT_TRUE(trust.startsHere(bytesOf(fileBytes(NIMBREL_EXECUTABLE))));
}

// The trial sees none of the user's display, bus, files or server: offscreen, in homes of its own that are
// gone afterwards, with the trial mark.
TEST_F(VendorTrustTest, ATrialStartsOffscreenInHomesOfItsOwn)
{
    const std::string seen = (folder / "seen").string();
    const std::string script = "#!/bin/sh\nenv > '" + seen + "'\n";
    ::setenv("DISPLAY", ":42", 1);
    VendorTrust trust("", keyFile());
    ASSERT_TRUE(trust.startsHere(bytesOf(script)));
    ::unsetenv("DISPLAY");
    const std::string environment = "\n" + fileBytes(seen);
    EXPECT_NE(environment.find("\nNIMBREL_TRIAL_START=1\n"), std::string::npos) << environment;
    EXPECT_NE(environment.find("\nQT_QPA_PLATFORM=offscreen\n"), std::string::npos) << environment;
    EXPECT_EQ(environment.find("\nDISPLAY="), std::string::npos) << environment;
    const std::size_t at = environment.find("\nXDG_CONFIG_HOME=");
    ASSERT_NE(at, std::string::npos);
    const std::string config = environment.substr(at + 17, environment.find('\n', at + 1) - at - 17);
    EXPECT_EQ(config.find(std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/nonexistent"), std::string::npos);
    EXPECT_FALSE(fs::exists(config)) << "the trial's homes go with it";
}

// A Cancel while a program is on trial ends the trial at once.
TEST_F(VendorTrustTest, ATrialThatMayNoLongerWaitIsEnded)
{
    int waits = 0;
    VendorTrust trust("", keyFile(), "/proc/self/exe", [&waits] { return ++waits < 3; });
    EXPECT_FALSE(trust.startsHere(bytesOf("#!/bin/sh\nsleep 60\n")));
    EXPECT_EQ(waits, 3) << "ended at the first wait that said no";
}

// What we ship can update: the program is built with the project's public key, which is a key.
TEST_F(VendorTrustTest, TheProgramIsBuiltWithTheProjectsUpdateKey)
{
    const std::string projectKey = fileBytes(std::string(NIMBREL_SOURCE_DIR) + "/desktop/update-key.pub");
    const std::size_t line = projectKey.find('\n') + 1;
    const std::string keyLine = projectKey.substr(line, projectKey.find('\n', line) - line);
    ASSERT_EQ(keyLine.size(), 56u);
    EXPECT_NE(program.find(keyLine), std::string::npos);
    EXPECT_TRUE(VendorTrust(keyLine, keyFile()).hasKey());
}

TEST_F(VendorTrustTest, OnlyAProgramOfThisMachineRunsHere)
{
    VendorTrust trust("", keyFile());
    EXPECT_TRUE(trust.runsHere(bytesOf(program)));

    std::string otherMachine = program;
    otherMachine[EI_NIDENT + 2] ^= 0x7f;
    EXPECT_FALSE(trust.runsHere(bytesOf(otherMachine)));

    std::string otherWordSize = program;
    otherWordSize[EI_CLASS] = otherWordSize[EI_CLASS] == ELFCLASS64 ? ELFCLASS32 : ELFCLASS64;
    EXPECT_FALSE(trust.runsHere(bytesOf(otherWordSize)));

    std::string relocatable = program;
    relocatable[EI_NIDENT] = ET_REL;
    relocatable[EI_NIDENT + 1] = 0;
    EXPECT_FALSE(trust.runsHere(bytesOf(relocatable)));

    EXPECT_FALSE(trust.runsHere(bytesOf("#!/bin/sh\nrm -rf ~\n")));
    EXPECT_FALSE(trust.runsHere(bytesOf(program.substr(0, 10))));
}

} // namespace
} // namespace nimbrel
