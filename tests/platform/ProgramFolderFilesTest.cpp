// The program file replaced on disk the way the update does it.

#include "platform/linux/FileReplacement.h"
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

const std::uint8_t* bytesOf(const std::string& text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }

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
    // The downloaded program in its place, and its digest.
    std::string download(const std::string& bytes)
    {
        auto staged = files.stageProgram(downloaded);
        EXPECT_TRUE(staged && staged->write(bytesOf(bytes), bytes.size()) && staged->keep());
        return files.digest(downloaded);
    }

    fs::path folder = fs::temp_directory_path() / ("nimbrel-folder-" + std::to_string(::getpid()));
    std::string program = (folder / "Nimbrel").string();
    std::string downloaded = (folder / "nbl").string();
    ProgramFolderFiles files;
};

TEST_F(ProgramFolderFilesTest, ADownloadGoesToATemporaryAndBecomesAProgramOnlyItsOwnerMayRun)
{
    auto staged = files.stageProgram(downloaded);
    ASSERT_TRUE(staged);
    ASSERT_TRUE(staged->write(bytesOf("ne"), 2));
    ASSERT_TRUE(staged->write(bytesOf("w"), 1));
    EXPECT_EQ(staged->size(), 3u);
    EXPECT_FALSE(fs::exists(downloaded)) << "nothing in the program's name before it is kept";
    const std::string temporary = fs::path(staged->path()).filename().string();
    EXPECT_EQ(temporary.rfind(".nbl.nimbrel-" + std::to_string(::getpid()) + "-", 0), 0u) << temporary;
    EXPECT_EQ(staged->writtenDigest(), "") << "nothing read back yet";
    EXPECT_EQ(staged->writtenBytes(), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    // The digest of the bytes read back, which is the file's while it is not changed.
    EXPECT_EQ(staged->writtenDigest(), files.digest(staged->path()));
    EXPECT_EQ(staged->writtenDigest(), "11507a0e2f5e69d5dfa40a62a1bd7b6ee57e6bcd85c67c9b8431b36fff21c437");
    ASSERT_TRUE(staged->keep());
    EXPECT_EQ(fileBytes(downloaded), "new");
    EXPECT_EQ(modeOf(downloaded), 0700u);
    EXPECT_EQ(entries(), 2u);
    EXPECT_TRUE(files.remove(downloaded));
    EXPECT_FALSE(fs::exists(downloaded));
    EXPECT_FALSE(files.remove(downloaded));
}

TEST_F(ProgramFolderFilesTest, ADownloadDroppedBeforeItIsKeptLeavesNothing)
{
    {
        auto staged = files.stageProgram(downloaded);
        ASSERT_TRUE(staged);
        ASSERT_TRUE(staged->write(bytesOf("half a program"), 14));
    }
    EXPECT_EQ(entries(), 1u);
}

// A download cut short by a kill leaves its temporary; the next start's sweep of the folder takes it away.
TEST_F(ProgramFolderFilesTest, ADownloadKilledHalfWayLeavesNothingAfterTheNextStart)
{
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        auto staged = files.stageProgram(downloaded);
        const bool wrote = staged && staged->write(bytesOf("half a program"), 14);
        ::_exit(wrote ? 0 : 1); // no destructor runs, as after a kill
    }
    int status = 0;
    ::waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(entries(), 2u) << "the temporary is left";

    configfiles::removeLeftovers(folder);
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(fileBytes(program), "#!/bin/sh\necho old\n");
}

TEST_F(ProgramFolderFilesTest, TheDigestIsTheSha256OfTheFile)
{
    writeBytes(downloaded, "abc");
    EXPECT_EQ(files.digest(downloaded), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(files.digest((folder / "missing").string()), "");
    EXPECT_EQ(files.digest(folder.string()), "") << "a folder is no program";
}

TEST_F(ProgramFolderFilesTest, TheCopyTakesTheProgramsPlaceAndKeepsItsMode)
{
    const std::string digest = download("#!/bin/sh\necho new\n");
    ASSERT_TRUE(files.replaceWithCopy(downloaded, program, digest));
    EXPECT_EQ(fileBytes(program), "#!/bin/sh\necho new\n");
    EXPECT_EQ(modeOf(program), 0751u);
    EXPECT_EQ(entries(), 2u) << "no temporary file is left";
}

TEST_F(ProgramFolderFilesTest, AFailedCopyLeavesTheProgramAsItWas)
{
    EXPECT_FALSE(files.replaceWithCopy(downloaded, program, "0000"));
    EXPECT_EQ(fileBytes(program), "#!/bin/sh\necho old\n");
    EXPECT_EQ(modeOf(program), 0751u);
    EXPECT_EQ(entries(), 1u);
}

// What was verified is what is installed: other bytes in its place, or a link to any file planted there, are not.
TEST_F(ProgramFolderFilesTest, OnlyTheBytesOfTheDigestAreCopiedAndNoLinkIsFollowed)
{
    const std::string digest = download("#!/bin/sh\necho new\n");
    writeBytes(downloaded, "#!/bin/sh\necho other\n");
    EXPECT_FALSE(files.replaceWithCopy(downloaded, program, digest));

    const std::string elsewhere = (folder / "unsigned").string();
    writeBytes(elsewhere, "#!/bin/sh\necho new\n");
    fs::remove(downloaded);
    fs::create_symlink(elsewhere, downloaded);
    EXPECT_EQ(files.digest(downloaded), "");
    EXPECT_FALSE(files.replaceWithCopy(downloaded, program, digest));
    EXPECT_EQ(fileBytes(program), "#!/bin/sh\necho old\n");
}

// A link planted where the old program's copy goes (or the program itself) is replaced by the copy: the file
// it led to, anywhere the user may write, is left as it was.
TEST_F(ProgramFolderFilesTest, ALinkInTheTargetsPlaceIsReplacedAndWhereItLedIsLeftAlone)
{
    const std::string elsewhere = (folder / "profile").string();
    writeBytes(elsewhere, "export PATH\n");
    ::chmod(elsewhere.c_str(), 0644);
    const std::string backup = (folder / "Nimbrel-previous").string();
    fs::create_symlink(elsewhere, backup);
    ASSERT_TRUE(files.replaceWithCopy(program, backup, files.digest(program)));
    EXPECT_EQ(fileBytes(elsewhere), "export PATH\n");
    EXPECT_FALSE(fs::is_symlink(backup));
    EXPECT_EQ(fileBytes(backup), "#!/bin/sh\necho old\n");
    EXPECT_EQ(modeOf(backup), 0755u);
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
    const std::string digest = download("the new program");
    const bool replaced = files.replaceWithCopy(downloaded, program, digest);
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
