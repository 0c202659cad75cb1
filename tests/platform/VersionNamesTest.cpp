#include "platform/common/VersionNames.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(VersionNames, TheNameTableOfTheClassicSystems)
{
    struct Case {
        VersionRecord record;
        const char* name;
        const char* version;
    };
    const Case cases[] = {
        {{1, 4, 0, 0x040003B6, ""}, "Microsoft Windows 95", "4.0.950"},
        {{1, 4, 10, 0x040A07CE, ""}, "Microsoft Windows 98", "4.10.1998"},
        {{1, 4, 10, 0x040A0886, ""}, "Microsoft Windows 98", "4.10.2182"},
        {{1, 4, 10, 0x040A0887, ""}, "Microsoft Windows 98 Second Edition", "4.10.2183"},
        {{1, 4, 90, 0x045A0BB8, ""}, "Microsoft Windows Millennium Edition", "4.90.3000"},
        {{2, 3, 10, 1057, ""}, "Microsoft Windows NT 3.51", "3.10.1057"},
        {{2, 4, 0, 1381, ""}, "Microsoft Windows NT 4.0", "4.0.1381"},
        {{2, 5, 0, 2195, ""}, "Microsoft Windows 2000", "5.0.2195"},
        {{2, 5, 1, 2600, ""}, "Microsoft Windows XP", "5.1.2600"},
        {{2, 5, 2, 3790, ""}, "Microsoft Windows Sever 2003", "5.2.3790"},
        {{2, 6, 0, 6000, ""}, "", "6.0.6000"},
        {{1, 5, 20, 0, ""}, "", "5.20.0"},
        {{3, 5, 1, 1, ""}, "", "5.1.1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(osNameOf(c.record), c.name) << c.version;
        EXPECT_EQ(osVersionOf(c.record), c.version);
    }
}

} // namespace
} // namespace nimbrel
