// The recorded profile cases in NIMBREL_SHARED_DATA/ini-cases, run against the reader and the writer.

#include "platform/linux/IniProfileFile.h"
#include "support/ProfileFileCases.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nimbrel {
namespace {

const std::filesystem::path kCasesFolder = std::filesystem::path(NIMBREL_SHARED_DATA) / "ini-cases";

TEST(IniProfileCases, EveryRecordedCaseReadsAndWritesAsRecorded)
{
    if (!testing::iniCasesPresent(kCasesFolder)) GTEST_SKIP() << "recorded cases not found at " << kCasesFolder;
    IniProfileFile profile;
    testing::runEveryRecordedIniCase(profile, kCasesFolder);
}

TEST(IniProfileCases, AWriteIntoEachFixtureLeavesTheOtherLinesAsTheyWere)
{
    if (!testing::iniCasesPresent(kCasesFolder)) GTEST_SKIP() << "recorded cases not found at " << kCasesFolder;
    IniProfileFile profile;
    testing::writeIntoEveryIniFixture(profile, kCasesFolder);
}

} // namespace
} // namespace nimbrel
