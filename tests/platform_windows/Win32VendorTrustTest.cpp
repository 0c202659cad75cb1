// Packages signed with minisign as the vendor signs them (tests/data/minisign, made with minisign -S, in its
// prehashed form and in the legacy one), checked the way the update checks a download before saving it.

#include "platform/windows/Win32VendorTrust.h"


#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

const fs::path kSigned = fs::path(NIMBREL_TEST_DATA) / "minisign";

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string keyLine(const fs::path& keyFile)
{
    const std::string text = testing::fileBytes(keyFile);
    const std::size_t start = text.find('\n') + 1;
    return text.substr(start, text.find_first_of("\r\n", start) - start);
}

TEST(Win32VendorTrust, TheVendorsSignatureIsAcceptedInBothFormsAndOnlyForThosePackages)
{
    Win32VendorTrust trust(keyLine(kSigned / "update-key.pub"), (kSigned / "no-key-file.pub").string());
    ASSERT_TRUE(trust.hasKey());
    const std::vector<std::uint8_t> package = bytesOf(testing::fileBytes(kSigned / "package.bin"));
    ASSERT_GT(package.size(), 1000u);
    const std::string prehashed = testing::fileBytes(kSigned / "package.bin.minisig");
    const std::string legacy = testing::fileBytes(kSigned / "package.bin.legacy.minisig");
    EXPECT_TRUE(trust.signedByVendor(package, prehashed));
    EXPECT_TRUE(trust.signedByVendor(package, legacy));

    std::vector<std::uint8_t> altered = package;
    altered[500] ^= 0x20;
    EXPECT_FALSE(trust.signedByVendor(altered, prehashed));
    EXPECT_FALSE(trust.signedByVendor(altered, legacy));
    std::string comment = prehashed;
    comment.replace(comment.find("nblupdate.exe"), 3, "xyz");
    EXPECT_FALSE(trust.signedByVendor(package, comment)) << "the trusted comment is signed too";
}

TEST(Win32VendorTrust, AKeyFileBesideTheProgramTakesThePlaceOfTheBuiltInKey)
{
    const testing::TestFolder folder("trust");
    const fs::path keyFile = folder.path() / "update-key.pub";
    const std::vector<std::uint8_t> package = bytesOf(testing::fileBytes(kSigned / "package.bin"));
    const std::string signature = testing::fileBytes(kSigned / "package.bin.minisig");

    Win32VendorTrust trust("", keyFile.string());
    EXPECT_FALSE(trust.hasKey());
    EXPECT_FALSE(trust.signedByVendor(package, signature));
    fs::copy_file(kSigned / "stranger.pub", keyFile);
    EXPECT_TRUE(trust.hasKey());
    EXPECT_FALSE(trust.signedByVendor(package, signature));
    fs::copy_file(kSigned / "update-key.pub", keyFile, fs::copy_options::overwrite_existing);
    EXPECT_TRUE(trust.signedByVendor(package, signature));
}

TEST(Win32VendorTrust, OnlyAWindowsProgramForThisProcessorRunsHere)
{
    const std::string program = testing::fileBytes(testing::ownProgram());
    Win32VendorTrust trust("", "");
    EXPECT_TRUE(trust.runsHere(bytesOf(program)));
    EXPECT_FALSE(trust.runsHere(bytesOf(program.substr(0, 0x40))));
    EXPECT_FALSE(trust.runsHere(bytesOf(testing::fileBytes(kSigned / "package.bin"))));

    // The same image marked as a library, or built for another processor.
    std::string library = program;
    const std::size_t header =
        static_cast<unsigned char>(program[0x3c]) | static_cast<unsigned char>(program[0x3d]) << 8;
    library[header + 23] = static_cast<char>(library[header + 23] | 0x20);
    EXPECT_FALSE(trust.runsHere(bytesOf(library)));
    std::string other = program;
    other[header + 4] = 0x4c;
    other[header + 5] = 0x01;
    EXPECT_FALSE(trust.runsHere(bytesOf(other)));
}

// The built program's bytes, started on trial, end at once and well; bytes that are no program do not start.
TEST(Win32VendorTrust, OnlyAProgramThatEndsWellOnTrialStartsHere)
{
    Win32VendorTrust trust("", (kSigned / "no-key-file.pub").string());
    EXPECT_TRUE(trust.startsHere(bytesOf(testing::fileBytes(testing::builtProgram()))));
    EXPECT_FALSE(trust.startsHere(bytesOf(testing::fileBytes(kSigned / "package.bin"))));
    EXPECT_FALSE(trust.startsHere({}));
}

} // namespace
} // namespace nimbrel
