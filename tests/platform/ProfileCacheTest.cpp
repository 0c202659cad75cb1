#include "platform/common/ProfileCache.h"

#include <gtest/gtest.h>

#include <chrono>

namespace nimbrel::ini {
namespace {

std::int64_t nanosecondsAgo(std::chrono::seconds ago)
{
    const auto then = std::chrono::system_clock::now().time_since_epoch() - ago;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(then).count();
}

// A file the test rewrites at will, stamp and all, counting how often its text is read.
class FileOnADisk : public ProfileDisk {
public:
    std::optional<FileStamp> stampOf(const std::string&) override
    {
        if (load_ != Load::Loaded) return std::nullopt;
        return stamp;
    }
    Load load(const std::string&, std::string& text, FileStamp& stampThen) override
    {
        ++loads;
        text = this->text;
        stampThen = stamp;
        return load_;
    }
    void makeUnreadable() { load_ = Load::Unreadable; }
    void makeReadable() { load_ = Load::Loaded; }

    std::string text;
    FileStamp stamp;
    int loads = 0;

private:
    Load load_ = Load::Loaded;
};

class ProfileCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        disk.text = "[RAM]\r\nRelease=2\r\n[Auto]\r\nActive=1\r\n";
        disk.stamp = {8, 1234, disk.text.size(), nanosecondsAgo(std::chrono::hours(1)),
                      nanosecondsAgo(std::chrono::hours(1))};
    }
    std::string read(const std::string& section, const std::string& key)
    {
        return cache.read("settings.ini", section, key, "none");
    }

    FileOnADisk disk;
    ProfileCache cache{disk};
};

TEST_F(ProfileCacheTest, AFileUnchangedForLongIsReadOnceForEachSection)
{
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(read("RAM", "Release"), "2");
        EXPECT_EQ(read("auto", "ACTIVE"), "1");
        EXPECT_EQ(read("RAM", "Minimum"), "none");
        EXPECT_EQ(read("Time", "Release"), "none");
    }
    EXPECT_EQ(disk.loads, 3);
}

TEST_F(ProfileCacheTest, AChangeToAnyPartOfTheStampIsSeenAtTheNextRead)
{
    for (std::uint64_t FileStamp::*part : {&FileStamp::device, &FileStamp::file}) {
        ASSERT_EQ(read("RAM", "Release"), "2");
        disk.text = "[RAM]\r\nRelease=3\r\n[Auto]\r\nActive=1\r\n";
        ++(disk.stamp.*part);
        EXPECT_EQ(read("RAM", "Release"), "3");
        disk.text = "[RAM]\r\nRelease=2\r\n[Auto]\r\nActive=1\r\n";
        ++(disk.stamp.*part);
    }
    for (std::int64_t FileStamp::*part : {&FileStamp::modified, &FileStamp::changed}) {
        ASSERT_EQ(read("RAM", "Release"), "2");
        disk.text = "[RAM]\r\nRelease=3\r\n[Auto]\r\nActive=1\r\n";
        disk.stamp.*part += 1; // one nanosecond
        EXPECT_EQ(read("RAM", "Release"), "3");
        disk.text = "[RAM]\r\nRelease=2\r\n[Auto]\r\nActive=1\r\n";
        disk.stamp.*part += 1;
    }
    ASSERT_EQ(read("RAM", "Release"), "2");
    disk.text = "[RAM]\r\nRelease=22\r\n[Auto]\r\nActive=1\r\n";
    disk.stamp.size = disk.text.size();
    EXPECT_EQ(read("RAM", "Release"), "22");
}

TEST_F(ProfileCacheTest, ARewriteOfTheSameSizeWithTheSameStampIsSeenWhileTheFileIsRecent)
{
    // Written in place twice within one tick of the file system's clock: the stamps cannot tell.
    disk.stamp.modified = disk.stamp.changed = nanosecondsAgo(std::chrono::seconds(1));
    EXPECT_EQ(read("RAM", "Release"), "2");
    disk.text = "[RAM]\r\nRelease=3\r\n[Auto]\r\nActive=1\r\n";
    EXPECT_EQ(read("RAM", "Release"), "3");
    EXPECT_EQ(read("Auto", "Active"), "1");

    // A change time in the future is never old enough to be trusted either.
    disk.stamp.changed = nanosecondsAgo(-std::chrono::hours(1));
    EXPECT_EQ(read("RAM", "Release"), "3");
    disk.text = "[RAM]\r\nRelease=4\r\n[Auto]\r\nActive=1\r\n";
    EXPECT_EQ(read("RAM", "Release"), "4");
}

TEST_F(ProfileCacheTest, AFileThatCannotBeReadAnyMoreGivesDefaultsUntilItCanAgain)
{
    EXPECT_EQ(read("RAM", "Release"), "2");
    disk.makeUnreadable();
    EXPECT_EQ(cache.read("settings.ini", "RAM", "Release", "'q'"), "'q'"); // as an unreadable file gives it
    disk.makeReadable();
    EXPECT_EQ(read("RAM", "Release"), "2");
}

TEST_F(ProfileCacheTest, AnotherFileIsNotAnsweredFromTheTextKept)
{
    EXPECT_EQ(read("RAM", "Release"), "2");
    EXPECT_EQ(cache.read("other.ini", "RAM", "Release", "none"), "2");
    EXPECT_EQ(disk.loads, 2);
}

TEST_F(ProfileCacheTest, AnEditGivesTheNewTextOrNothingForTheStoredValue)
{
    EXPECT_EQ(read("RAM", "Release"), "2");
    const ProfileCache::Edit same = cache.edit("settings.ini", "ram", "release", " 2");
    EXPECT_EQ(same.load, Load::Loaded);
    EXPECT_FALSE(same.text);
    EXPECT_EQ(disk.loads, 1) << "the stored value is known without reading the file again";

    const ProfileCache::Edit changed = cache.edit("settings.ini", "RAM", "Release", "5");
    EXPECT_EQ(changed.load, Load::Loaded);
    ASSERT_TRUE(changed.text);
    EXPECT_EQ(*changed.text, "[RAM]\r\nRelease=5\r\n[Auto]\r\nActive=1\r\n");
    // A section not read yet: the file says whether it holds the value.
    EXPECT_FALSE(cache.edit("settings.ini", "Auto", "Active", "1").text);

    disk.makeUnreadable();
    EXPECT_EQ(cache.edit("settings.ini", "RAM", "Release", "5").load, Load::Unreadable);
}

} // namespace
} // namespace nimbrel::ini
