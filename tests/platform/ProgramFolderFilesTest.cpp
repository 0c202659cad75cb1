// The program file replaced on disk the way the update does it.

#include "platform/linux/ProgramFolderFiles.h"
#include "support/MinisignTool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;
namespace fs = std::filesystem;

unsigned modeOf(const fs::path& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

class ProgramFolderFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(folder);
        writeBytes(program, "#!/bin/sh\necho old\n");
        ::chmod(program.c_str(), 0751);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {})); }

    fs::path folder = fs::temp_directory_path() / ("nimbrel-folder-" + std::to_string(::getpid()));
    std::string program = (folder / "Nimbrel").string();
    std::string downloaded = (folder / "nbl").string();
    ProgramFolderFiles files;
};

TEST_F(ProgramFolderFilesTest, ADownloadIsSavedAsAProgramOnlyItsOwnerMayRun)
{
    ASSERT_TRUE(files.saveProgram(downloaded, {'n', 'e', 'w'}));
    EXPECT_EQ(fileBytes(downloaded), "new");
    EXPECT_EQ(modeOf(downloaded), 0700u);
    EXPECT_TRUE(files.remove(downloaded));
    EXPECT_FALSE(fs::exists(downloaded));
    EXPECT_FALSE(files.remove(downloaded));
}

TEST_F(ProgramFolderFilesTest, TheCopyTakesTheProgramsPlaceAndKeepsItsMode)
{
    writeBytes(downloaded, "#!/bin/sh\necho new\n");
    ASSERT_TRUE(files.replaceWithCopy(downloaded, program));
    EXPECT_EQ(fileBytes(program), "#!/bin/sh\necho new\n");
    EXPECT_EQ(modeOf(program), 0751u);
    EXPECT_EQ(entries(), 2u) << "no temporary file is left";
}

TEST_F(ProgramFolderFilesTest, AFailedCopyLeavesTheProgramAsItWas)
{
    EXPECT_FALSE(files.replaceWithCopy(downloaded, program));
    EXPECT_EQ(fileBytes(program), "#!/bin/sh\necho old\n");
    EXPECT_EQ(modeOf(program), 0751u);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ProgramFolderFilesTest, TheProgramIsReplacedWhileItRuns)
{
    fs::copy_file("/bin/sleep", program, fs::copy_options::overwrite_existing);
    const pid_t running = ::fork();
    ASSERT_GE(running, 0);
    if (running == 0) {
        ::execl(program.c_str(), "Nimbrel", "30", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Give the child the moment it needs to have the old file mapped.
    ::usleep(200000);
    writeBytes(downloaded, "the new program");
    const bool replaced = files.replaceWithCopy(downloaded, program);
    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
    EXPECT_TRUE(replaced);
    EXPECT_EQ(fileBytes(program), "the new program");
}

TEST_F(ProgramFolderFilesTest, OnlyAnExistingFolderIsWritable)
{
    EXPECT_TRUE(files.folderWritable(folder.string()));
    EXPECT_FALSE(files.folderWritable((folder / "missing").string()));
    EXPECT_FALSE(files.folderWritable(program));
}

} // namespace
} // namespace nimbrel
