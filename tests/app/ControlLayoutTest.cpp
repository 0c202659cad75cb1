// The layout table against the window's design: the positions the design
// gives in twips, the fixed captions, and a table every view can build from.

#include "app/ControlLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

namespace nimbrel {
namespace {

TwipsRect placeOf(std::string_view name, std::string_view form = "frmMain")
{
    return controlLayout(name, form).place;
}

bool hasPlace(ControlKind kind)
{
    return kind != ControlKind::Menu && kind != ControlKind::MenuEntry && kind != ControlKind::MenuGroup &&
           kind != ControlKind::Separator;
}

TEST(ControlLayoutTest, TheMainWindowStandsWhereItWasDesigned)
{
    EXPECT_EQ(placeOf("Shape2"), (TwipsRect{120, 120, 9135, 1095}));
    EXPECT_EQ(placeOf("lblBanner"), (TwipsRect{1320, 360, 6435, 795}));
    EXPECT_EQ(placeOf("Shape3"), (TwipsRect{120, 1320, 1815, 4935}));
    EXPECT_EQ(placeOf("lblAdvice"), (TwipsRect{2160, 1320, 7095, 255}));
    for (const char* panel : {"fmRAM", "fmAutomatic", "fmTime", "fmLauncher", "fmGraph", "fmStartup", "fmAbout"}) {
        EXPECT_EQ(placeOf(panel), (TwipsRect{2160, 1560, 7125, 3855})) << panel;
        EXPECT_EQ(controlLayout(panel).kind, ControlKind::Panel) << panel;
    }
    const std::pair<const char*, int> buttons[] = {{"cmdPause", 2040}, {"cmdExit", 3840}, {"cmdHide", 7560}};
    for (const auto& [name, left] : buttons) {
        const TwipsRect place = placeOf(name);
        EXPECT_EQ(place.left, left) << name;
        EXPECT_EQ(place.top, 5640) << name;
        EXPECT_EQ(place.height, 495) << name;
    }
}

TEST(ControlLayoutTest, TheNavigationLabelsStand660ApartInTheLeftColumnInTahoma)
{
    const std::pair<const char*, int> rows[] = {
        {"lblReleaseRAMN", 1680},    {"lblAutomaticN", 2340},    {"lblTimeIntervalsN", 3000}, {"lblLauncherN", 3660},
        {"lblHistoryGraphsN", 4320}, {"lblStartupOtherN", 4980}, {"lblAboutN", 5640},
    };
    for (const auto& [name, top] : rows) {
        const ControlLayout& label = controlLayout(name);
        EXPECT_EQ(label.place.top, top) << name;
        EXPECT_EQ(label.kind, ControlKind::Link) << name;
        EXPECT_EQ(label.font.face, "Tahoma") << name;
    }
}

TEST(ControlLayoutTest, TheBannerIsBoldWhiteTahomaInAnOrangeFrame)
{
    const ControlLayout& banner = controlLayout("lblBanner");
    EXPECT_EQ(banner.caption, "Nimbrel");
    EXPECT_EQ(banner.font.face, "Tahoma");
    EXPECT_TRUE(banner.font.bold);
    EXPECT_EQ(banner.foreColour, colours::white);
    EXPECT_EQ(controlLayout("Shape2").foreColour, Colour{0x0099FF});
    EXPECT_EQ(controlLayout("Shape3").foreColour, Colour{0x0099FF});
    EXPECT_EQ(controlLayout("lblAdvice").foreColour, colours::black);
}

// WCAG's relative luminance of a colour and the contrast ratio of two.
double luminance(Colour c)
{
    const auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(red(c)) + 0.7152 * channel(green(c)) + 0.0722 * channel(blue(c));
}

double contrast(Colour a, Colour b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(ControlLayoutTest, TheMainButtonsBoldCaptionReadsClearlyOnItsOrange)
{
    const ControlLayout& button = controlLayout("cmdRam");
    ASSERT_TRUE(button.foreColour && button.backColour);
    EXPECT_EQ(*button.backColour, colours::orange);
    EXPECT_TRUE(button.font.bold);
    EXPECT_GE(contrast(*button.foreColour, *button.backColour), 4.5);
    EXPECT_LT(contrast(colours::white, colours::orange), 4.5) << "the measure tells the white caption apart";
}

TEST(ControlLayoutTest, TheGaugesAndTheMeterHaveTheirDesignedPlacesAndSizes)
{
    EXPECT_EQ(placeOf("picPProgress"), (TwipsRect{2235, 2685, 3500, 255}));
    EXPECT_EQ(placeOf("picVProgress"), (TwipsRect{2235, 3390, 3500, 255}));
    EXPECT_EQ(placeOf("shpProgress0"), (TwipsRect{2175, 2625, 3615, 375}));
    EXPECT_EQ(placeOf("shpProgress1"), (TwipsRect{2175, 3330, 3615, 375}));
    EXPECT_EQ(controlLayout("picPProgress").backColour, rgb(224, 224, 224));
    EXPECT_EQ(placeOf("picCPU").width, 1935);
    EXPECT_EQ(placeOf("picCPU").height, 1695);
}

TEST(ControlLayoutTest, TheFixedCaptionsReadAsDesigned)
{
    const std::pair<const char*, const char*> captions[] = {
        {"lblAutoRelease", "Automatically release RAM when it reaches a minimum of"},
        {"lblAutoRAM", "Check for minimum level of RAM at the following interval (Seconds)"},
        {"lblAutoAmount", "Amount of RAM to Release"},
        {"lblAutoCPU", "percent"},
        {"lblRelaeaseRamTime", "Release RAM at following Interval"},
        {"lblReleaseTime", "Amount of RAM to Release"},
        {"lblReleaseTimeCPU", "percent"},
        {"lblLauncher", "Before any program from my list is launched, attempt to free up the following amount of RAM:"},
        {"lblLauncherRetry", "Number of Retrys"},
        {"lblApplications", "List of Programs"},
    };
    for (const auto& [name, caption] : captions) {
        EXPECT_EQ(controlLayout(name).caption, caption) << name;
    }
}

TEST(ControlLayoutTest, TheSameNameOnTwoFormsIsTwoControls)
{
    EXPECT_EQ(controlLayout("cmdCancel", "frmLauncher").place.left, 4530);
    EXPECT_EQ(controlLayout("cmdCancel", "frmAutoUpdate").place.left, 5820);
    EXPECT_THROW(controlLayout("cmdCancel"), std::out_of_range);
    EXPECT_THROW(controlLayout("lstNothing"), std::out_of_range);
}

TEST(ControlLayoutTest, AFrameListsItsControlsInTheOrderTheyAreMade)
{
    std::vector<std::string> names;
    for (const ControlLayout* c : controlsIn("fraDisplay"))
        names.emplace_back(c->name);
    EXPECT_EQ(names, (std::vector<std::string>{"optDisplay0", "optDisplay1", "optDisplay2"}));

    names.clear();
    for (const ControlLayout* c : controlsIn("mnuHelp"))
        names.emplace_back(c->name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"mnuHelpContents", "mnusep1", "mnuHelpVisitUs", "mnusep2", "mnuHelpAbout"}));
}

// Every name once on its form, every frame a row of the same form made
// before what it holds, and every control inside its frame.
TEST(ControlLayoutTest, EveryControlSitsInsideAFrameOfItsOwnForm)
{
    std::set<std::pair<std::string, std::string>> seen;
    for (const ControlLayout& c : controlLayouts()) {
        const std::string where = std::string(c.form) + "." + std::string(c.name);
        EXPECT_TRUE(seen.emplace(c.form, c.name).second) << where << " twice";
        if (c.kind == ControlKind::Window) {
            EXPECT_TRUE(c.frame.empty()) << where;
            continue;
        }
        ASSERT_TRUE(seen.contains({std::string(c.form), std::string(c.frame)})) << where << " in " << c.frame;
        if (!hasPlace(c.kind)) continue;
        const TwipsRect outer = controlLayout(c.frame, c.form).place;
        EXPECT_GE(c.place.left, 0) << where;
        EXPECT_GE(c.place.top, 0) << where;
        EXPECT_GT(c.place.width, 0) << where;
        EXPECT_GT(c.place.height, 0) << where;
        EXPECT_LE(c.place.left + c.place.width, outer.width) << where;
        EXPECT_LE(c.place.top + c.place.height, outer.height) << where;
    }
}

} // namespace
} // namespace nimbrel
