#include "platform/linux/DetachedProcessStarter.h"

#include "core/base/RuntimeError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& file, const std::string& text, fs::perms perms = fs::perms::owner_all)
{
    std::ofstream(file, std::ios::binary) << text;
    fs::permissions(file, perms);
}

// What the recording script wrote once it ran: its arguments, folder, session and parent, one a line.
std::vector<std::string> waitForRecord(const fs::path& record)
{
    for (int i = 0; i < 500 && !fs::exists(record.string() + ".done"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(record);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class DetachedProcessStarterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "starter-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        fs::create_directory(dir_ / "tool folder");
        script_ = dir_ / "tool folder" / "record it";
        writeFile(script_, "#!/bin/sh\n"
                           "out=\"" + (dir_ / "record").string() + "\"\n"
                           "for a in \"$@\"; do echo \"arg:$a\"; done > \"$out\"\n"
                           "echo \"cwd:$(pwd)\" >> \"$out\"\n"
                           "echo \"sid:$(cut -d' ' -f6 /proc/$$/stat)\" >> \"$out\"\n"
                           "echo \"ppid:$PPID\" >> \"$out\"\n"
                           "touch \"$out.done\"\n");
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    fs::path script_;
    DetachedProcessStarter starter_;
};

TEST_F(DetachedProcessStarterTest, AProgramRunsInItsOwnFolderAndSessionWithoutBeingOurChild)
{
    starter_.start(script_.string());
    const auto lines = waitForRecord(dir_ / "record");
    ASSERT_EQ(lines.size(), 3u) << "no arguments, then folder, session and parent";
    EXPECT_EQ(lines[0], "cwd:" + (dir_ / "tool folder").string());
    EXPECT_NE(lines[1], "sid:" + std::to_string(::getsid(0)));
    EXPECT_NE(lines[2], "ppid:" + std::to_string(::getpid()));
}

TEST_F(DetachedProcessStarterTest, ADesktopEntryRunsItsExecLineWithQuotesAndWithoutFieldCodes)
{
    const fs::path entry = dir_ / "recorder.desktop";
    writeFile(entry, "[Desktop Entry]\nType=Application\nName=Recorder \\s One\nPath=" + dir_.string() +
                         "\nExec=\"" + script_.string() + "\" --title \"a \\\\\"quoted\\\\\" word\" %U 100%% --icon=%i\n",
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(starter_.isOrdinaryFile(entry.string()));
    EXPECT_EQ(starter_.desktopName(entry.string()), "Recorder   One");
    starter_.start(entry.string());
    const auto lines = waitForRecord(dir_ / "record");
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
              (std::vector<std::string>{"arg:--title", "arg:a \"quoted\" word", "arg:100%", "arg:--icon=",
                                        "cwd:" + dir_.string()}));
}

TEST_F(DetachedProcessStarterTest, WhatCannotBeStartedIsAnErrorAndAFolderIsNoProgram)
{
    const fs::path plain = dir_ / "notes.txt";
    writeFile(plain, "hello\n", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(starter_.isOrdinaryFile(dir_.string()));
    EXPECT_FALSE(starter_.desktopName(script_.string()).has_value());
    // Each failure says why, in words the launcher shows the user.
    const auto why = [&](const fs::path& path) {
        try {
            starter_.start(path.string());
        } catch (const RuntimeError& error) {
            return error.description();
        }
        return std::string("started");
    };
    EXPECT_EQ(why(plain), "Permission denied: the file is not marked as executable");
    EXPECT_EQ(why(dir_ / "gone"), "File not found");
    const fs::path noFormat = dir_ / "no-format";
    writeFile(noFormat, std::string("\x7f" "ELX not a program\n"));
    EXPECT_EQ(why(noFormat), "The file is not a program this system can run") << "the exec itself fails";
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no process of ours is left behind";
    const fs::path broken = dir_ / "broken.desktop";
    writeFile(broken, "[Desktop Entry]\nExec=no-such-program-here --x\n");
    EXPECT_THROW(starter_.start(broken.string()), RuntimeError);
}

} // namespace
} // namespace nimbrel
