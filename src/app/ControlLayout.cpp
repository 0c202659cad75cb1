#include "app/ControlLayout.h"

#include "monitor/HistoryGraphs.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace nimbrel {

namespace {

using K = ControlKind;
using H = HorizontalAlign;
using V = VerticalAlign;

constexpr ControlLayout control(std::string_view form, std::string_view frame, std::string_view name, K kind,
                                TwipsRect place, std::string_view caption = {})
{
    ControlLayout c;
    c.name = name;
    c.kind = kind;
    c.form = form;
    c.frame = frame;
    c.place = place;
    c.caption = caption;
    return c;
}

constexpr ControlLayout onMain(std::string_view frame, std::string_view name, K kind, TwipsRect place,
                               std::string_view caption = {})
{
    return control("frmMain", frame, name, kind, place, caption);
}

constexpr ControlLayout aligned(ControlLayout c, H align, V verticalAlign, bool wordWrap = false)
{
    c.align = align;
    c.verticalAlign = verticalAlign;
    c.wordWrap = wordWrap;
    return c;
}

constexpr ControlLayout wrapped(ControlLayout c, V verticalAlign = V::Centre)
{
    return aligned(c, H::Left, verticalAlign, true);
}

constexpr ControlLayout inFont(ControlLayout c, FontLayout font)
{
    c.font = font;
    return c;
}

constexpr ControlLayout coloured(ControlLayout c, std::optional<Colour> fore, std::optional<Colour> back = {})
{
    c.foreColour = fore;
    c.backColour = back;
    return c;
}

// A decorative outline: an orange edge around a dark inside.
constexpr ControlLayout shape(ControlLayout c) { return coloured(c, colours::orange, colours::slate); }

constexpr ControlLayout tipped(ControlLayout c, std::string_view toolTip)
{
    c.toolTip = toolTip;
    return c;
}

constexpr FontLayout tahoma(double points, bool bold = false)
{
    return {"Tahoma", points, bold, false};
}
constexpr FontLayout underlined{{}, 0, false, true};
constexpr FontLayout boldFont{{}, 0, true, false};

// The panel area, the navigation column and the buttons below them.
constexpr TwipsRect panelArea{2160, 1560, 7125, 3855};
constexpr int navigationLeft = 195;
constexpr int navigationWidth = 1665;
constexpr int navigationHeight = 375;
constexpr int buttonTop = 5640;
constexpr int buttonHeight = 495;

constexpr ControlLayout navigation(std::string_view name, int top)
{
    return coloured(
        inFont(onMain("frmMain", name, K::Link, {navigationLeft, top, navigationWidth, navigationHeight}), tahoma(9)),
        {}, colours::slate);
}

// Release RAM: the meter in the top right corner, the two bars below the totals.
constexpr int meterLeft = 5025;
constexpr int barFrameLeft = 2175;
constexpr int barFrameWidth = 3615;
constexpr int barBezel = 60;
constexpr int barCaptionHeight = 255;
constexpr int physicalBarFrameTop = 2625;
constexpr int pageFileBarFrameTop = 3330;
// The page file is physical memory and swap together, so its gauge reads high where there is no swap at all.
constexpr std::string_view pageFileTip = "Physical memory and swap (the page file) together";

// Automatic and Time Intervals share one grid: two columns of 3300 with 180 between.
constexpr int columnWidth = 3300;
constexpr int rightColumn = 3660;

// History Graphs: each graph in its dark frame with its caption above, the scale to its right.
constexpr int graphLeft = 240;
constexpr int graphBezel = 60;
constexpr int graphWidth = HistoryGraphs::samples * DrawingSurface::twipsPerPixel;
constexpr int graphHeight = HistoryGraphs::graphHeight;
constexpr int graphCaptionHeight = 255;
constexpr int scaleLineLeft = graphLeft + graphWidth + graphBezel + 60;
constexpr int scaleLineWidth = 120;
// Two pixels: a mark then covers whole screen pixels at every scale, three at 1.5x, where a one-pixel mark
// would be drawn one or two pixels thick by where it falls.
constexpr int scaleLineHeight = 2 * DrawingSurface::twipsPerPixel;
constexpr int scaleLabelLeft = scaleLineLeft + scaleLineWidth + 45;
constexpr int scaleLabelWidth = 960;

constexpr TwipsRect graphCaption(int top)
{
    return {graphLeft - graphBezel, top - graphBezel - graphCaptionHeight, graphWidth + 2 * graphBezel,
            graphCaptionHeight};
}
constexpr TwipsRect graphFrame(int top)
{
    return {graphLeft - graphBezel, top - graphBezel, graphWidth + 2 * graphBezel, graphHeight + 2 * graphBezel};
}

// Startup/Other: two columns of frames with 120 between, the left one wide
// enough for the three speeds side by side; the controls 120 in from the
// frames' edges.
constexpr int leftFrame = 180;
constexpr int leftFrameWidth = 3600;
constexpr int rightFrame = leftFrame + leftFrameWidth + 120;
constexpr int rightFrameWidth = 6960 - rightFrame;
constexpr int inset = 120;

// The update dialog, drawn in pixels of 15 twips.
constexpr int updateButtonTop = 3960;
constexpr int updateButtonWidth = 1260;
constexpr int updateButtonHeight = 420;

constexpr auto table = std::to_array<ControlLayout>({
    // The forms, their rectangles their client areas.
    inFont(control("frmMain", "", "frmMain", K::Window, {0, 0, 9375, 6375}), tahoma(8)),
    inFont(control("frmLauncher", "", "frmLauncher", K::Window, {0, 0, 6375, 3975}), tahoma(8)),
    control("frmAutoUpdate", "", "frmAutoUpdate", K::Window, {0, 0, 7200, 4950}),

    // The main window: the banner, the navigation column, the advice line, the panels, the buttons.
    shape(onMain("frmMain", "Shape2", K::Shape, {120, 120, 9135, 1095})),
    coloured(
        aligned(inFont(onMain("frmMain", "lblBanner", K::Label, {1320, 360, 6435, 795}, "Nimbrel"), tahoma(26, true)),
                H::Centre, V::Centre),
        colours::white, colours::slate),
    shape(onMain("frmMain", "Shape3", K::Shape, {120, 1320, 1815, 4935})),
    navigation("lblReleaseRAMN", 1680),
    navigation("lblAutomaticN", 2340),
    navigation("lblTimeIntervalsN", 3000),
    navigation("lblLauncherN", 3660),
    navigation("lblHistoryGraphsN", 4320),
    navigation("lblStartupOtherN", 4980),
    navigation("lblAboutN", 5640),
    coloured(onMain("frmMain", "lblAdvice", K::Label, {2160, 1320, 7095, 255}), colours::black),
    onMain("frmMain", "fmRAM", K::Panel, panelArea),
    onMain("frmMain", "fmAutomatic", K::Panel, panelArea),
    onMain("frmMain", "fmTime", K::Panel, panelArea),
    onMain("frmMain", "fmLauncher", K::Panel, panelArea),
    onMain("frmMain", "fmGraph", K::Panel, panelArea),
    onMain("frmMain", "fmStartup", K::Panel, panelArea),
    onMain("frmMain", "fmAbout", K::Panel, panelArea),
    onMain("frmMain", "cmdPause", K::Button, {2040, buttonTop, 1755, buttonHeight}),
    onMain("frmMain", "cmdExit", K::Button, {3840, buttonTop, 1755, buttonHeight}),
    onMain("frmMain", "cmdHide", K::Button, {7560, buttonTop, 1695, buttonHeight}),

    // The menu bar; the File menu is also the tray icon's pop-up menu.
    onMain("frmMain", "mnuFile", K::Menu, {}, "&File"),
    onMain("frmMain", "mnuView", K::Menu, {}, "&View"),
    onMain("frmMain", "mnuHelp", K::Menu, {}, "&Help"),
    onMain("mnuFile", "mnuRelease", K::MenuEntry, {}),
    onMain("mnuFile", "sep1", K::Separator, {}),
    onMain("mnuFile", "mnuShow", K::MenuEntry, {}),
    onMain("mnuFile", "sep2", K::Separator, {}),
    onMain("mnuFile", "mnuPrograms", K::Menu, {}),
    onMain("mnuPrograms", "mnuP1", K::MenuGroup, {}),
    onMain("mnuFile", "bl", K::Separator, {}),
    onMain("mnuFile", "Upnbl", K::MenuEntry, {}),
    onMain("mnuFile", "sep3", K::Separator, {}),
    onMain("mnuFile", "mnuExit", K::MenuEntry, {}),
    onMain("mnuView", "mnuViewReleaseRAM", K::MenuEntry, {}),
    onMain("mnuView", "mnuViewAutomatic", K::MenuEntry, {}),
    onMain("mnuView", "mnuViewTime", K::MenuEntry, {}),
    onMain("mnuView", "mnuViewLaucnher", K::MenuEntry, {}),
    onMain("mnuView", "mnuViewGraph", K::MenuEntry, {}),
    onMain("mnuView", "mnuViewStartup", K::MenuEntry, {}),
    onMain("mnuHelp", "mnuHelpContents", K::MenuEntry, {}),
    onMain("mnuHelp", "mnusep1", K::Separator, {}),
    onMain("mnuHelp", "mnuHelpVisitUs", K::MenuEntry, {}),
    onMain("mnuHelp", "mnusep2", K::Separator, {}),
    onMain("mnuHelp", "mnuHelpAbout", K::MenuEntry, {}),

    // Release RAM: the amounts and the button on the left, the totals and how
    // the last release ended beside them (two lines each if need be), the CPU
    // meter top right with "CPU Usage" and the reading above it, the bars below.
    onMain("fmRAM", "lstRam", K::List, {180, 360, 1935, 2730}),
    // Dark text on the orange: white on it is hard to read.
    inFont(coloured(onMain("fmRAM", "cmdRam", K::Button, {180, 3180, 1935, 495}), colours::slate, colours::orange),
           boldFont),
    wrapped(onMain("fmRAM", "lblPM", K::Label, {2340, 360, 2565, 480}), V::Top),
    wrapped(onMain("fmRAM", "lblVM", K::Label, {2340, 900, 2565, 480}), V::Top),
    wrapped(onMain("fmRAM", "lblOutcome", K::Label, {2340, 1440, 2565, 900}), V::Top),
    onMain("fmRAM", "lblCPUUsage", K::Label, {meterLeft, 360, 1200, 225}),
    aligned(onMain("fmRAM", "lblCPU", K::Label, {meterLeft + 1200, 360, 735, 225}), H::Right, V::Centre),
    onMain("fmRAM", "picCPU", K::Surface, {meterLeft, 615, 1935, 1695}),
    shape(onMain("fmRAM", "shpProgress0", K::Shape, {barFrameLeft, physicalBarFrameTop, barFrameWidth, 375})),
    coloured(onMain("fmRAM", "picPProgress", K::Surface,
                    {barFrameLeft + barBezel, physicalBarFrameTop + barBezel, 3500, 255}),
             {}, rgb(224, 224, 224)),
    onMain("fmRAM", "lblPProgress", K::Label, {barFrameLeft, physicalBarFrameTop - 270, 2115, barCaptionHeight},
           "Physical Memory"),
    aligned(onMain("fmRAM", "lblPPercent", K::Label, {4290, physicalBarFrameTop - 270, 1500, barCaptionHeight}),
            H::Right, V::Centre),
    shape(onMain("fmRAM", "shpProgress1", K::Shape, {barFrameLeft, pageFileBarFrameTop, barFrameWidth, 375})),
    tipped(coloured(onMain("fmRAM", "picVProgress", K::Surface,
                           {barFrameLeft + barBezel, pageFileBarFrameTop + barBezel, 3500, 255}),
                    {}, rgb(224, 224, 224)),
           pageFileTip),
    tipped(onMain("fmRAM", "lblVProgress", K::Label, {barFrameLeft, pageFileBarFrameTop - 270, 2115, barCaptionHeight},
                  "Page File Memory"),
           pageFileTip),
    aligned(onMain("fmRAM", "lblVPercent", K::Label, {4290, pageFileBarFrameTop - 270, 1500, barCaptionHeight}),
            H::Right, V::Centre),

    // Automatic: the threshold of the CPU condition sits below its check box;
    // the captions sit on their lists, the longer one on two lines.
    onMain("fmAutomatic", "chkAutoActive", K::Check, {180, 360, columnWidth, 285}),
    wrapped(onMain("fmAutomatic", "lblAutoRelease", K::Label, {180, 780, 5250, 330},
                   "Automatically release RAM when it reaches a minimum of")),
    onMain("fmAutomatic", "cmbAutoRelease", K::Combo, {5520, 780, 1440, 330}),
    wrapped(onMain("fmAutomatic", "lblAutoRAM", K::Label, {180, 1200, columnWidth, 420},
                   "Check for minimum level of RAM at the following interval (Seconds)"),
            V::Bottom),
    onMain("fmAutomatic", "lstAutoInterval", K::List, {180, 1650, columnWidth, 1230}),
    wrapped(onMain("fmAutomatic", "lblAutoAmount", K::Label, {rightColumn, 1200, columnWidth, 420},
                   "Amount of RAM to Release"),
            V::Bottom),
    onMain("fmAutomatic", "lstAutoAmount", K::List, {rightColumn, 1650, columnWidth, 1230}),
    onMain("fmAutomatic", "chkAutoCPU", K::Check, {180, 2985, 6780, 285}),
    onMain("fmAutomatic", "cmbAutoCPU", K::Combo, {480, 3315, 900, 330}),
    wrapped(onMain("fmAutomatic", "lblAutoCPU", K::Label, {1440, 3315, 1200, 330}, "percent")),

    // Time Intervals, on the Automatic panel's grid.
    onMain("fmTime", "chkTimeActive", K::Check, {180, 360, columnWidth, 285}),
    onMain("fmTime", "optTimeMinute", K::Option, {180, 795, 1500, 285}),
    onMain("fmTime", "optTimeHour", K::Option, {1740, 795, 1500, 285}),
    wrapped(onMain("fmTime", "lblRelaeaseRamTime", K::Label, {180, 1200, columnWidth, 420},
                   "Release RAM at following Interval"),
            V::Bottom),
    onMain("fmTime", "lstTimeInterval", K::List, {180, 1650, columnWidth, 1230}),
    wrapped(
        onMain("fmTime", "lblReleaseTime", K::Label, {rightColumn, 1200, columnWidth, 420}, "Amount of RAM to Release"),
        V::Bottom),
    onMain("fmTime", "lstTimeAmount", K::List, {rightColumn, 1650, columnWidth, 1230}),
    onMain("fmTime", "chkTimeCPU", K::Check, {180, 2985, 6780, 285}),
    onMain("fmTime", "cmbTimeCPU", K::Combo, {480, 3315, 900, 330}),
    wrapped(onMain("fmTime", "lblReleaseTimeCPU", K::Label, {1440, 3315, 1200, 330}, "percent")),

    // Launcher: the options in a column of 3120 on the left, the list in a
    // column of 3480 on the right, 180 between them.
    wrapped(onMain("fmLauncher", "lblLauncher", K::Label, {180, 300, 6780, 420},
                   "Before any program from my list is launched, attempt to free up the following amount of RAM:"),
            V::Top),
    onMain("fmLauncher", "optLauncher0", K::Option, {180, 810, 3120, 285}),
    onMain("fmLauncher", "optLauncher1", K::Option, {180, 1140, 3120, 285}),
    onMain("fmLauncher", "optLauncher2", K::Option, {180, 1470, 3120, 285}),
    onMain("fmLauncher", "optLauncher3", K::Option, {180, 1800, 3120, 285}),
    onMain("fmLauncher", "optLauncher4", K::Option, {180, 2130, 3120, 285}),
    onMain("fmLauncher", "lblLauncherRetry", K::Label, {180, 2625, 1560, 330}, "Number of Retrys"),
    onMain("fmLauncher", "cmbLauncher", K::Combo, {1800, 2625, 900, 330}),
    onMain("fmLauncher", "lblApplications", K::Label, {3480, 780, 3480, 285}, "List of Programs"),
    onMain("fmLauncher", "lstLauncher", K::List, {3480, 1080, 3480, 1875}),
    onMain("fmLauncher", "cmdConfigureLauncher", K::Button, {3480, 3060, 3480, 495}),

    // History Graphs: the graphs' tops are the model's, which lays out the scales against them.
    onMain("fmGraph", "lblPhysicalGraph", K::Label, graphCaption(HistoryGraphs::physicalTop),
           "Available Physical Memory Graph:"),
    shape(onMain("fmGraph", "shpPhysical", K::Shape, graphFrame(HistoryGraphs::physicalTop))),
    onMain("fmGraph", "picPhysical", K::Surface, {graphLeft, HistoryGraphs::physicalTop, graphWidth, graphHeight}),
    coloured(onMain("fmGraph", "lnP", K::Line, {scaleLineLeft, 0, scaleLineWidth, scaleLineHeight}),
             colours::slate),
    onMain("fmGraph", "lblP", K::Label, {scaleLabelLeft, 0, scaleLabelWidth, HistoryGraphs::scaleLabelHeight}),
    onMain("fmGraph", "lblVirtualGraph", K::Label, graphCaption(HistoryGraphs::pageFileTop),
           "Available Page File Memory Graph:"),
    shape(onMain("fmGraph", "shpVirtual", K::Shape, graphFrame(HistoryGraphs::pageFileTop))),
    onMain("fmGraph", "picVirtual", K::Surface, {graphLeft, HistoryGraphs::pageFileTop, graphWidth, graphHeight}),
    coloured(onMain("fmGraph", "lnV", K::Line, {scaleLineLeft, 0, scaleLineWidth, scaleLineHeight}),
             colours::slate),
    onMain("fmGraph", "lblV", K::Label, {scaleLabelLeft, 0, scaleLabelWidth, HistoryGraphs::scaleLabelHeight}),
    onMain("fmGraph", "lblUpdateGraph", K::Label, {180, 3375, 2400, 330}, "Graphs Update Interval"),
    onMain("fmGraph", "cmbUpdateGraph", K::Combo, {2640, 3375, 1800, 330}),

    // Startup/Other.
    onMain("fmStartup", "fraDisplay", K::Frame, {leftFrame, 330, leftFrameWidth, 1170}, "Display at Startup"),
    onMain("fraDisplay", "optDisplay0", K::Option, {inset, 255, leftFrameWidth - 2 * inset, 270}),
    onMain("fraDisplay", "optDisplay1", K::Option, {inset, 525, leftFrameWidth - 2 * inset, 270}),
    onMain("fraDisplay", "optDisplay2", K::Option, {inset, 795, leftFrameWidth - 2 * inset, 270}),
    onMain("fmStartup", "fraCPUUpdate", K::Frame, {leftFrame, 1560, leftFrameWidth, 660}, "CPU Graph Update Interval"),
    onMain("fraCPUUpdate", "optCPU0", K::Option, {inset, 270, 1155, 285}),
    onMain("fraCPUUpdate", "optCPU1", K::Option, {1305, 270, 1125, 285}),
    onMain("fraCPUUpdate", "optCPU2", K::Option, {2625, 270, 960, 285}),
    onMain("fmStartup", "fraStartup", K::Frame, {leftFrame, 2280, leftFrameWidth, 660}, "When I startup my computer"),
    onMain("fraStartup", "chkStartup", K::Check, {inset, 270, leftFrameWidth - 2 * inset, 285}),
    onMain("fmStartup", "fraRetry", K::Frame, {leftFrame, 3000, leftFrameWidth, 720}, "Number of Retrys"),
    onMain("fraRetry", "lblTry", K::Label, {inset, 300, 420, 285}, "Try"),
    onMain("fraRetry", "cmbRetry", K::Combo, {570, 270, 900, 330}),
    onMain("fraRetry", "lblTimes", K::Label, {1560, 300, 900, 285}, "times"),
    onMain("fmStartup", "fraStartupOptions", K::Frame, {rightFrame, 330, rightFrameWidth, 1665}, "Startup Options"),
    onMain("fraStartupOptions", "lblStartupRam", K::Label, {inset, 255, rightFrameWidth - 2 * inset, 240},
           "Amount of RAM to release"),
    onMain("fraStartupOptions", "cmbStartupRam", K::Combo, {inset, 510, 1800, 330}),
    onMain("fraStartupOptions", "lblStartupWait", K::Label, {inset, 900, rightFrameWidth - 2 * inset, 240},
           "Time to Wait(Seconds)"),
    onMain("fraStartupOptions", "cmbStartupWait", K::Combo, {inset, 1155, 1800, 330}),
    onMain("fmStartup", "fraLowLevel", K::Frame, {rightFrame, 2055, rightFrameWidth, 885}, "Disable Low Level"),
    onMain("fraLowLevel", "chkLowLevel", K::Check, {inset, 270, 300, 285}),
    onMain("fraLowLevel", "lblResources", K::Label, {450, 270, rightFrameWidth - 450 - inset, 255},
           "Resources Warning"),
    onMain("fraLowLevel", "lblAutoTimeOnly", K::Label, {450, 525, rightFrameWidth - 450 - inset, 255},
           "(Auto & Time Only"),
    onMain("fmStartup", "fraQuit", K::Frame, {rightFrame, 3000, rightFrameWidth, 720}, "Quit button hides in tray"),
    onMain("fraQuit", "chkQuit", K::Check, {inset, 300, 1020, 285}),
    // Beside "Enable", where the frame has room: the tray icon as a gauge of available memory.
    tipped(onMain("fraQuit", "chkTrayGauge", K::Check, {1140, 300, rightFrameWidth - 1140 - inset / 2, 285}),
           "Show available memory in the tray icon"),

    // About.
    coloured(inFont(onMain("fmAbout", "lblAboutName", K::Label, {240, 420, 6600, 420}, "Nimbrel"), tahoma(13, true)),
             colours::slate),
    wrapped(onMain("fmAbout", "lblAboutText", K::Label, {240, 900, 6600, 1200},
                   "Nimbrel keeps physical memory free for the programs you work with. It frees RAM when you ask, "
                   "when memory runs low, or at the intervals you choose, shows how much memory is available at a "
                   "glance, and starts your programs with room to spare."),
            V::Top),
    onMain("fmAbout", "lblHelpCaption", K::Label, {240, 2400, 1800, 255}, "Help:"),
    inFont(onMain("fmAbout", "lblHelp", K::Link, {2100, 2400, 4740, 255}), underlined),
    onMain("fmAbout", "lblWebsiteCaption", K::Label, {240, 2820, 1800, 255}, "Visit our website:"),
    inFont(onMain("fmAbout", "lblWebsite", K::Link, {2100, 2820, 4740, 255}), underlined),
    onMain("fmAbout", "lblVersion", K::Label, {240, 3240, 6600, 255}, "Version " NIMBREL_VERSION),

    // The launcher's list editor: the list on the left, the buttons in a column on the right.
    control("frmLauncher", "frmLauncher", "lstPrograms", K::List, {120, 120, 4290, 3735}),
    control("frmLauncher", "frmLauncher", "cmdAdd", K::Button, {4530, 120, 1725, 495}),
    control("frmLauncher", "frmLauncher", "cmdRemove", K::Button, {4530, 675, 1725, 495}),
    control("frmLauncher", "frmLauncher", "cmdRun", K::Button, {4530, 1230, 1725, 495}),
    control("frmLauncher", "frmLauncher", "cmdSave", K::Button, {4530, 2805, 1725, 495}),
    control("frmLauncher", "frmLauncher", "cmdCancel", K::Button, {4530, 3360, 1725, 495}),

    // The update dialog: the explanation, the status lines, the two buttons bottom right, the status bar.
    wrapped(control("frmAutoUpdate", "frmAutoUpdate", "Label1", K::Label, {120, 120, 6960, 960})),
    control("frmAutoUpdate", "frmAutoUpdate", "ListView1", K::ListView, {120, 1140, 6960, 2700}),
    control("frmAutoUpdate", "frmAutoUpdate", "cmdProceed", K::Button,
            {4440, updateButtonTop, updateButtonWidth, updateButtonHeight}),
    control("frmAutoUpdate", "frmAutoUpdate", "cmdCancel", K::Button,
            {5820, updateButtonTop, updateButtonWidth, updateButtonHeight}),
    control("frmAutoUpdate", "frmAutoUpdate", "StatusBar1", K::StatusBar, {0, 4560, 7200, 390}),
});

} // namespace

std::span<const ControlLayout> controlLayouts()
{
    return table;
}

const ControlLayout& controlLayout(std::string_view name, std::string_view form)
{
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const ControlLayout& c) { return c.name == name && c.form == form; });
    if (found == table.end()) {
        throw std::out_of_range("no control " + std::string(name) + " on " + std::string(form));
    }
    return *found;
}

std::vector<const ControlLayout*> controlsIn(std::string_view frame, std::string_view form)
{
    std::vector<const ControlLayout*> inside;
    for (const ControlLayout& c : table) {
        if (c.frame == frame && c.form == form) inside.push_back(&c);
    }
    return inside;
}

} // namespace nimbrel
