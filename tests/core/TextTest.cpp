#include "core/base/Text.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbrel {
namespace {

TEST(MenuCaption, AShortNameShowsWhole)
{
    EXPECT_EQ(elidedForMenu("Notepad"), "Notepad");
    EXPECT_EQ(elidedForMenu(std::string(menuCaptionCharacters, 'x')), std::string(menuCaptionCharacters, 'x'));
}

TEST(MenuCaption, AThreeHundredCharacterNameIsCutToTheMenusWidthAndSaysSo)
{
    const std::string name(300, 'n');
    EXPECT_EQ(elidedForMenu(name), std::string(menuCaptionCharacters - 3, 'n') + "...");
}

TEST(MenuCaption, ANameOfAccentedLettersIsCutBetweenLettersNotInsideOne)
{
    std::string name;
    for (int i = 0; i < 60; ++i) name += "\xC3\xA9"; // é, two bytes in UTF-8
    std::string kept;
    for (std::size_t i = 0; i < menuCaptionCharacters - 3; ++i) kept += "\xC3\xA9";
    EXPECT_EQ(elidedForMenu(name), kept + "...");
}

} // namespace
} // namespace nimbrel
