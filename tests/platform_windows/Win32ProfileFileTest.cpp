#include "platform/windows/Win32ProfileFile.h"
#include "support/ProfileFileCases.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

const fs::path kCasesFolder = fs::path(NIMBREL_SHARED_DATA) / "ini-cases";

// What the system's own profile function reads, into a 255-character buffer as the program's reads did.
std::string systemRead(const fs::path& file, const std::string& section, const std::string& key,
                       const std::string& defaultValue)
{
    char buffer[255];
    const DWORD count = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                                 sizeof buffer, file.string().c_str());
    return std::string(buffer, count);
}

class Win32ProfileFileTest : public ::testing::Test {
protected:
    testing::TestFolder scratch_{"profile"};
    const fs::path& folder_ = scratch_.path();
    Win32ProfileFile profile_;
};

TEST_F(Win32ProfileFileTest, EveryRecordedCaseReadsAndWritesAsRecorded)
{
    if (!testing::iniCasesPresent(kCasesFolder)) GTEST_SKIP() << "recorded cases not found at " << kCasesFolder;
    testing::runEveryRecordedIniCase(profile_, kCasesFolder);
}

TEST_F(Win32ProfileFileTest, AWriteIntoEachFixtureLeavesTheOtherLinesAsTheyWere)
{
    if (!testing::iniCasesPresent(kCasesFolder)) GTEST_SKIP() << "recorded cases not found at " << kCasesFolder;
    testing::writeIntoEveryIniFixture(profile_, kCasesFolder);
}

// The system's GetPrivateProfileStringA and ours read every recorded fixture alike, and the system's reads back
// what our writes stored, key by key.
TEST_F(Win32ProfileFileTest, TheSystemsProfileFunctionsReadWhatOursReadAndWrite)
{
    if (!testing::iniCasesPresent(kCasesFolder)) GTEST_SKIP() << "recorded cases not found at " << kCasesFolder;
    const std::vector<testing::RecordedIniRead> reads = testing::recordedIniReads(kCasesFolder);
    ASSERT_GT(reads.size(), 20u);
    int written = 0;
    for (const testing::RecordedIniRead& read : reads) {
        SCOPED_TRACE(read.where);
        EXPECT_EQ(profile_.readString(read.fixture.string(), read.section, read.key, read.defaultValue),
                  systemRead(read.fixture, read.section, read.key, read.defaultValue));
        if (!fs::exists(read.fixture)) continue;

        const fs::path copy = folder_ / "settings.ini";
        fs::remove(copy);
        fs::copy_file(read.fixture, copy);
        // The recorded fixtures are kept read-only.
        fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
        const std::string value = "written " + std::to_string(++written);
        ASSERT_TRUE(profile_.writeString(copy.string(), read.section, read.key, value));
        EXPECT_EQ(systemRead(copy, read.section, read.key, "-"), value);
    }
    EXPECT_GT(written, 20);
}

TEST_F(Win32ProfileFileTest, TheFirstWriteCreatesTheFileWithCrLfLines)
{
    const fs::path file = folder_ / "settings.ini";
    ASSERT_TRUE(profile_.writeString(file.string(), "RAM", "Amount", "64"));
    ASSERT_TRUE(profile_.writeString(file.string(), "Auto", "Enabled", "1"));
    EXPECT_EQ(testing::fileBytes(file), "[RAM]\r\nAmount=64\r\n[Auto]\r\nEnabled=1\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(Win32ProfileFileTest, AReadOnlyFileIsNeitherChangedNorReplaced)
{
    const fs::path file = folder_ / "settings.ini";
    { std::ofstream(file, std::ios::binary) << "[RAM]\r\nAmount=64\r\n"; }
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(profile_.writeString(file.string(), "RAM", "Amount", "128"));
    EXPECT_EQ(profile_.readString(file.string(), "RAM", "Amount", ""), "64");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32ProfileFileTest, AnotherProgramsRewriteOfTheSameSizeAtTheSameTimeIsSeenAtTheNextRead)
{
    const fs::path file = folder_ / "settings.ini";
    { std::ofstream(file, std::ios::binary) << "[RAM]\r\nAmount=64\r\n"; }
    WIN32_FILE_ATTRIBUTE_DATA first{};
    ASSERT_TRUE(GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &first));
    EXPECT_EQ(profile_.readString(file.string(), "RAM", "Amount", ""), "64");

    // Rewritten in place with the same size and given back the write time of the first version.
    { std::ofstream(file, std::ios::binary) << "[RAM]\r\nAmount=32\r\n"; }
    const HANDLE handle = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &first.ftLastWriteTime));
    CloseHandle(handle);
    EXPECT_EQ(profile_.readString(file.string(), "RAM", "Amount", ""), "32");

    ASSERT_TRUE(profile_.writeString(file.string(), "RAM", "Amount", "16"));
    EXPECT_EQ(profile_.readString(file.string(), "RAM", "Amount", ""), "16");
}

TEST_F(Win32ProfileFileTest, AFolderThatIsNotThereGivesDefaultsAndRefusesWrites)
{
    const fs::path file = folder_ / "missing" / "settings.ini";
    EXPECT_EQ(profile_.readString(file.string(), "RAM", "Amount", "32"), "32");
    EXPECT_FALSE(profile_.writeString(file.string(), "RAM", "Amount", "64"));
    EXPECT_FALSE(fs::exists(folder_ / "missing"));
}

// Paths are UTF-8 in the program: a folder named in Greek is the folder the file goes to.
TEST_F(Win32ProfileFileTest, AFolderWithANameBeyondTheCodePageIsUsedAsNamed)
{
    const fs::path folder = folder_ / L"\u03a0\u03c1\u03cc\u03b3\u03c1\u03b1\u03bc\u03bc\u03b1";
    fs::create_directory(folder);
    const std::u8string utf8 = (folder / "settings.ini").u8string();
    const std::string file(utf8.begin(), utf8.end());
    ASSERT_TRUE(profile_.writeString(file, "RAM", "Amount", "64"));
    EXPECT_EQ(testing::fileBytes(folder / "settings.ini"), "[RAM]\r\nAmount=64\r\n");
    EXPECT_EQ(profile_.readString(file, "ram", "amount", ""), "64");
}

} // namespace
} // namespace nimbrel
