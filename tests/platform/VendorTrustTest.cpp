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

TEST_F(VendorTrustTest, WithoutAnyKeyOrWithABrokenKeyFileNothingIsTrusted)
{
    VendorTrust none("", keyFile());
    EXPECT_FALSE(none.hasKey());
    EXPECT_FALSE(none.signedByVendor(bytesOf(program), signature));

    writeBytes(keyFile(), "untrusted comment: minisign public key\nRWS-broken\n");
    VendorTrust broken(vendor.publicKeyLine(), keyFile());
    EXPECT_FALSE(broken.hasKey());
    EXPECT_FALSE(broken.signedByVendor(bytesOf(program), signature));
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
