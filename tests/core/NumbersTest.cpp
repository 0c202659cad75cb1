#include "core/base/Numbers.h"
#include "core/base/RuntimeError.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(Numbers, HalvesRoundToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(511.6), 512.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(-3.5), -4.0);
    EXPECT_EQ(roundHalfEven(2.4999), 2.0);
}

TEST(Numbers, ConversionTo32BitOverflowsOutsideTheRange)
{
    EXPECT_EQ(toInt32(4096.5), 4096);
    EXPECT_EQ(toInt32(65536.0), 65536);
    EXPECT_EQ(toInt32(-2147483648.0), INT32_MIN);
    try {
        toInt32(2147483648.0);
        FAIL() << "no overflow";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

TEST(Numbers, NumericTestAcceptsWhatTheClassicRuntimeAccepted)
{
    for (const char* yes : {"0", "5", "-1", " 12 ", "+3", "1.5", ".5", "1e3", "&H1F", "&O17", "-7.25"}) {
        EXPECT_TRUE(isNumeric(yes)) << yes;
    }
    for (const char* no : {"", " ", "abc", "1a", "1.2.3", "--1", "16 MB", "&HZZ", "e5", "."}) {
        EXPECT_FALSE(isNumeric(no)) << no;
    }
}

TEST(Numbers, LeadingNumberReadsUpToTheFirstCharacterThatCannotContinueIt)
{
    EXPECT_EQ(leadingNumber("16 MB"), 16.0);
    EXPECT_EQ(leadingNumber("  20"), 20.0);
    EXPECT_EQ(leadingNumber("1 2 3"), 123.0);
    EXPECT_EQ(leadingNumber("abc"), 0.0);
    EXPECT_EQ(leadingNumber(""), 0.0);
    EXPECT_EQ(leadingNumber("3.75x"), 3.75);
    EXPECT_EQ(leadingNumber("-4"), -4.0);
    EXPECT_EQ(leadingNumber("&H10"), 16.0);
}

TEST(Numbers, AnEntrysAmountIsTheNumberBeforeItsFirstBlank)
{
    EXPECT_EQ(entryAmountMB("16 MB"), 16);
    EXPECT_EQ(entryAmountMB("2000 MB"), 2000);
}

TEST(Numbers, NumericValueOfANonNumberIsATypeMismatch)
{
    EXPECT_EQ(numericValue(" 7 "), 7.0);
    try {
        numericValue("abc");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 13);
    }
}

TEST(Numbers, DecimalTexts)
{
    EXPECT_EQ(shortestDecimal(1.5), "1.5");
    EXPECT_EQ(shortestDecimal(3.0), "3");
    EXPECT_EQ(shortestDecimal(523760.0), "523760");
    std::string round = "1";
    for (int zeros = 1; zeros <= 15; ++zeros) {
        round += "0";
        EXPECT_EQ(shortestDecimal(std::stod(round)), round);
        EXPECT_EQ(shortestDecimal(2 * std::stod(round)), "2" + round.substr(1));
    }
    EXPECT_EQ(twoDecimals(123.454), "123.45");
    EXPECT_EQ(twoDecimals(0.5), "0.50");
    EXPECT_EQ(twoDecimals(7.0), "7.00");
    EXPECT_EQ(twoDecimals(0.125), "0.12");
}

TEST(Numbers, DecimalTextsOfValuesBeyondA64BitCountOfCents)
{
    EXPECT_EQ(twoDecimals(9.3e16), "93000000000000000.00");
    EXPECT_EQ(twoDecimals(-9.3e16), "-93000000000000000.00");
    EXPECT_EQ(upToTwoDecimals(9.3e16), "93000000000000000");
    const std::string huge = twoDecimals(6.1e64);
    EXPECT_EQ(huge.size(), 65u + 3u);
    EXPECT_EQ(std::stod(huge), 6.1e64);
    EXPECT_EQ(upToTwoDecimals(-6.1e64), "-" + huge.substr(0, 65));
}

} // namespace
} // namespace nimbrel
