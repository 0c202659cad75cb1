// Signatures as the vendor makes them with minisign, checked the way the
// update checks a package before saving it.

#include "platform/common/MinisignKey.h"
#include "platform/linux/SodiumCheck.h"
#include "support/MinisignTool.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// The signature file with one character of a line changed to another of base64's alphabet.
std::string withLineChanged(std::string signature, int line, std::size_t column)
{
    std::size_t start = 0;
    for (int n = 0; n < line; ++n) start = signature.find('\n', start) + 1;
    char& c = signature[start + column];
    c = c == 'A' ? 'B' : 'A';
    return signature;
}

class MinisignKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(vendor.failure(), "");
        ASSERT_EQ(stranger.failure(), "");
        package = "\x7f" "ELF a new version of the program\n";
        package.resize(5000, '\x90');
        path = (std::filesystem::temp_directory_path() / ("nimbrel-package-" + std::to_string(::getpid()))).string();
        writeBytes(path, package);
        key = MinisignKey::parse(vendor.publicKeyText());
        ASSERT_TRUE(key.has_value());
    }
    void TearDown() override { std::filesystem::remove(path); }

    MinisignTool vendor;
    MinisignTool stranger;
    std::string package;
    std::string path;
    std::optional<MinisignKey> key;
};

TEST_F(MinisignKeyTest, TheVendorsSignatureIsAcceptedInBothForms)
{
    const std::string prehashed = vendor.sign(path);
    const std::string legacy = vendor.sign(path, true);
    ASSERT_NE(prehashed, legacy);
    EXPECT_TRUE(key->verifiedComment(bytesOf(package), prehashed, sodiumCheck()));
    EXPECT_TRUE(key->verifiedComment(bytesOf(package), legacy, sodiumCheck()));
}

TEST_F(MinisignKeyTest, TheTrustedCommentIsTheOneSigned)
{
    const std::string signature = vendor.sign(path, false, "Nimbrel 6, file:nblupdate.exe");
    EXPECT_EQ(key->verifiedComment(bytesOf(package), signature, sodiumCheck()), "Nimbrel 6, file:nblupdate.exe");
}

// minisign signs the trusted comment with the blanks at its end, and verifies it so; so does the update.
TEST_F(MinisignKeyTest, ATrustedCommentEndingInABlankIsTheOneSigned)
{
    const std::string signature = vendor.sign(path, false, "Nimbrel 6, file:nblupdate.exe ");
    EXPECT_EQ(key->verifiedComment(bytesOf(package), signature, sodiumCheck()), "Nimbrel 6, file:nblupdate.exe ");
    std::string crlf;
    for (const char c : signature) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(key->verifiedComment(bytesOf(package), crlf, sodiumCheck()), "Nimbrel 6, file:nblupdate.exe ");
}

// minisign reads the four lines of a signature and leaves what follows alone; so does the update.
TEST_F(MinisignKeyTest, ASignatureWithBlankLinesOrTextAfterItIsAccepted)
{
    const std::string signature = vendor.sign(path);
    for (const std::string& edited : {signature + "\n", signature + "\r\n\r\n", signature + "published 2026-12-07\n"}) {
        EXPECT_TRUE(key->verifiedComment(bytesOf(package), edited, sodiumCheck())) << edited;
    }
    std::string crlf;
    for (const char c : signature) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_TRUE(key->verifiedComment(bytesOf(package), crlf, sodiumCheck()));
}

TEST_F(MinisignKeyTest, TheBareKeyLineIsTheSameKey)
{
    const std::optional<MinisignKey> line = MinisignKey::parse(vendor.publicKeyLine());
    ASSERT_TRUE(line.has_value());
    EXPECT_TRUE(line->verifiedComment(bytesOf(package), vendor.sign(path), sodiumCheck()));
    EXPECT_FALSE(MinisignKey::parse("untrusted comment: nothing\nnot base64 at all").has_value());
    EXPECT_FALSE(MinisignKey::parse("").has_value());
}

TEST_F(MinisignKeyTest, AFlippedByteOfThePackageIsRefused)
{
    const std::string signature = vendor.sign(path);
    for (const bool legacy : {false, true}) {
        std::string altered = package;
        altered[4000] ^= 0x01;
        EXPECT_FALSE(key->verifiedComment(bytesOf(altered), vendor.sign(path, legacy), sodiumCheck())) << legacy;
    }
    std::string shorter = package;
    shorter.pop_back();
    EXPECT_FALSE(key->verifiedComment(bytesOf(shorter), signature, sodiumCheck()));
}

TEST_F(MinisignKeyTest, AnAlteredSignatureOrTrustedCommentIsRefused)
{
    const std::string signature = vendor.sign(path);
    EXPECT_FALSE(key->verifiedComment(bytesOf(package), withLineChanged(signature, 1, 40), sodiumCheck()))
        << "the file's signature";
    EXPECT_FALSE(key->verifiedComment(bytesOf(package), withLineChanged(signature, 3, 40), sodiumCheck()))
        << "the global signature";

    std::string comment = signature;
    const std::size_t at = comment.find("file:nblupdate.exe");
    ASSERT_NE(at, std::string::npos);
    comment[at] = 'F';
    EXPECT_FALSE(key->verifiedComment(bytesOf(package), comment, sodiumCheck())) << "the trusted comment";
}

TEST_F(MinisignKeyTest, AnotherKeysSignatureIsRefused)
{
    EXPECT_FALSE(key->verifiedComment(bytesOf(package), stranger.sign(path), sodiumCheck()));
    EXPECT_FALSE(key->verifiedComment(bytesOf(package), stranger.sign(path, true), sodiumCheck()));
}

TEST_F(MinisignKeyTest, ATruncatedOrMissingSignatureFileIsRefused)
{
    const std::string signature = vendor.sign(path);
    EXPECT_FALSE(key->verifiedComment(bytesOf(package), signature.substr(0, signature.size() / 2), sodiumCheck()));
    EXPECT_FALSE(
        key->verifiedComment(bytesOf(package), signature.substr(0, signature.rfind("trusted comment")), sodiumCheck()));
    EXPECT_FALSE(key->verifiedComment(bytesOf(package), "", sodiumCheck()));
}

} // namespace
} // namespace nimbrel
