// Where a copy of the program keeps its files: beside itself when its folder
// can be written, in the user's homes when it is installed somewhere the user
// cannot write. Each copy is a real executable file in a real folder; the link
// in place of /proc/self/exe points at it.

#include "platform/linux/ProgramFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

constexpr uid_t nobody = 65534;

class ProgramFoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "program-folders-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        // Another user must reach the folders inside.
        ::chmod(root_.c_str(), 0755);
        program = root_ / "app";
        homes = root_ / "homes";
        fs::create_directories(program);
        fs::create_directories(homes);
        std::ofstream(program / "Nimbrel") << "the program";
        fs::create_symlink(program / "Nimbrel", root_ / "exe");
    }
    void TearDown() override
    {
        ::chmod(program.c_str(), 0755);
        fs::remove_all(root_);
    }

    ProgramFolders folders() const { return ProgramFolders((root_ / "exe").string(), config(), data()); }
    fs::path config() const { return homes / "config" / "nimbrel"; }
    fs::path data() const { return homes / "data" / "nimbrel"; }

    // Runs the checks as a user who is not root (nobody, when the tests run as root, owning the
    // homes); the bits of the checks that failed, 64 when the user could not be changed.
    int asUser(const std::function<int()>& checks) const
    {
        if (::geteuid() == 0) ::chown(homes.c_str(), nobody, nobody);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
                ::_exit(64);
            ::_exit(checks());
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The program's folder as the user of asUser owns it.
    void ownProgramFolder() const
    {
        if (::geteuid() == 0) ::chown(program.c_str(), nobody, nobody);
    }

    fs::path root_;
    fs::path program;
    fs::path homes;
};

TEST_F(ProgramFoldersTest, AFolderTheUserCanWriteKeepsEverythingBesideTheProgram)
{
    ProgramFolders f = folders();
    EXPECT_TRUE(f.portable());
    EXPECT_EQ(f.settingsPath(), program.string());
    EXPECT_EQ(f.picturePath("graphback.bmp"), (program / "graphback.bmp").string());
    EXPECT_EQ(f.path(), program.string());
    EXPECT_FALSE(fs::exists(homes / "config")) << "a portable copy leaves the user's homes alone";
    EXPECT_FALSE(fs::exists(homes / "data"));
}

TEST_F(ProgramFoldersTest, AReadOnlyFolderSendsSettingsToTheConfigHomeAndBitmapsToTheDataHome)
{
    ownProgramFolder();
    ::chmod(program.c_str(), 0555);
    const int failed = asUser([this] {
        ProgramFolders f = folders();
        int bits = 0;
        if (f.portable()) bits |= 1;
        if (f.settingsPath() != config().string()) bits |= 2;
        if (f.picturePath("cpuback.bmp") != (data() / "cpuback.bmp").string()) bits |= 4;
        // Both folders are there for the first setting and the first bitmap, for this user only.
        struct stat made {};
        if (::stat(config().c_str(), &made) != 0 || (made.st_mode & 0777) != 0700) bits |= 8;
        if (!fs::is_directory(data())) bits |= 16;
        if (f.path() != program.string()) bits |= 32;
        return bits;
    });
    EXPECT_EQ(failed, 0) << "1: portable, 2: settings elsewhere, 4: bitmap elsewhere, 8: no private config folder, "
                            "16: no data folder, 32: executable's folder lost, 64: no setuid";
}

TEST_F(ProgramFoldersTest, AFolderOfAnotherUserIsInstalledUnlessThisUserMayWriteIt)
{
    if (::geteuid() != 0) GTEST_SKIP() << "only root can make a folder of another user";
    const int failed = asUser([this] {
        int bits = 0;
        if (folders().portable()) bits |= 1;
        return bits;
    });
    EXPECT_EQ(failed, 0) << "1: a folder of root taken for nobody's own, 64: no setuid";
    // A folder everyone may write is this user's to use, whoever owns it.
    ::chmod(program.c_str(), 0777);
    const int shared = asUser([this] {
        int bits = 0;
        if (!folders().portable()) bits |= 1;
        return bits;
    });
    EXPECT_EQ(shared, 0) << "1: a folder this user may write taken for an installation";
}

TEST_F(ProgramFoldersTest, InstalledTheUsersOwnBitmapComesBeforeTheOneShippedBesideTheProgram)
{
    std::ofstream(program / "graphback.bmp") << "shipped";
    ownProgramFolder();
    ::chmod(program.c_str(), 0555);
    const int failed = asUser([this] {
        ProgramFolders f = folders();
        int bits = 0;
        if (f.picturePath("graphback.bmp") != (program / "graphback.bmp").string()) bits |= 1;
        if (f.picturePath("cpuback.bmp") != (data() / "cpuback.bmp").string()) bits |= 2;
        std::ofstream(data() / "graphback.bmp") << "the user's own";
        if (f.picturePath("graphback.bmp") != (data() / "graphback.bmp").string()) bits |= 4;
        return bits;
    });
    EXPECT_EQ(failed, 0) << "1: shipped bitmap not used, 2: a missing bitmap not drawn in the data home, "
                            "4: the user's own bitmap not used, 64: no setuid";
}

TEST_F(ProgramFoldersTest, AFolderMadeReadOnlyWhileRunningKeepsTheFilesWhereTheyWereForThisRun)
{
    ownProgramFolder();
    const int failed = asUser([this] {
        ProgramFolders running = folders();
        ::chmod(program.c_str(), 0555);
        int bits = 0;
        if (!running.portable()) bits |= 1;
        if (running.settingsPath() != program.string()) bits |= 2;
        if (running.picturePath("graphback.bmp") != (program / "graphback.bmp").string()) bits |= 4;
        // The next start sees the folder as it is now.
        if (folders().portable()) bits |= 8;
        return bits;
    });
    EXPECT_EQ(failed, 0) << "1: mode changed, 2: settings moved, 4: bitmap moved, 8: next start still portable, "
                            "64: no setuid";
}

} // namespace
} // namespace nimbrel
