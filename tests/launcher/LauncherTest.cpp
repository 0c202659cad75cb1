#include "support/FormHarness.h"

#include "launcher/ProgramEntry.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

const std::string listFile = "/opt/nimbrel/Launcher.mbl";

std::string entry(const std::string& name, const std::string& path) { return makeEntry(name, path); }

// A 512 MB machine (513 MB as the program counts it) with 100 MB available and two programs in the list.
class LauncherTest : public ::testing::Test, public FormHarness {
protected:
    LauncherTest()
    {
        files.files[listFile] = entry("gedit", "/usr/bin/gedit") + "\r\n" + entry("edit", "/opt/edit") + "\r\n";
        programs.files = {"/usr/bin/gedit", "/opt/edit"};
    }
    Launcher& launcher() { return form.launcher; }
    void doubleClick(int line)
    {
        launcher().lstLauncher.userSelect(line);
        launcher().lstLauncher.userDoubleClick();
    }
    std::vector<std::string> tags() const
    {
        std::vector<std::string> t;
        for (const auto& e : reporter.errors) t.push_back(e.tag);
        return t;
    }
};

TEST_F(LauncherTest, TheListFileIsReadWithAnyLineEndAndLinesKeptAsTheyAre)
{
    files.files[listFile] = "First|/bin/a\r\nno bar here\n  Spaced  |/bin/b\rLast|/bin/c";
    form.Form_Load();
    EXPECT_EQ(launcher().lstLauncher.items(),
              (std::vector<std::string>{"First|/bin/a", "no bar here", "  Spaced  |/bin/b", "Last|/bin/c"}));
    EXPECT_EQ(form.trayMenu.mnuP1.caption(1), "Spaced") << "the line without \"|\" has no menu entry";
    doubleClick(1);
    EXPECT_TRUE(messages.shown.empty()) << "a line without \"|\" is ignored";
    EXPECT_TRUE(programs.started.empty());
}

TEST_F(LauncherTest, AnInstalledCopyReadsTheListFromTheFolderOfItsSettings)
{
    directory.isPortable = false;
    directory.settingsDir = "/home/ann/.config/nimbrel";
    files.files["/home/ann/.config/nimbrel/Launcher.mbl"] = "Mine|/home/ann/bin/mine\r\n";
    form.Form_Load();
    EXPECT_EQ(launcher().lstLauncher.items(), std::vector<std::string>{"Mine|/home/ann/bin/mine"});
}

TEST_F(LauncherTest, NoFileOrAnEmptyOneGivesAnEmptyListAndNoPrograms)
{
    files.files.erase(listFile);
    form.Form_Load();
    EXPECT_EQ(launcher().lstLauncher.count(), 0);
    EXPECT_FALSE(form.trayMenu.mnuPrograms.enabled());
    EXPECT_TRUE(reporter.errors.empty());
}

TEST_F(LauncherTest, DontFreeUpAnyRamStartsAtOnceWithoutMeasuring)
{
    profile.store("Launcher", "Freeup", "4");
    form.Form_Load();
    const int readsBefore = memory.reads;
    doubleClick(0);
    EXPECT_EQ(programs.started, std::vector<std::string>{"/usr/bin/gedit"});
    EXPECT_EQ(memory.reads, readsBefore);
    EXPECT_TRUE(block.blocks.empty());
    EXPECT_EQ(events.yields, 0);
}

TEST_F(LauncherTest, TheShareIsOfTotalMemoryRoundedHalvesToEven)
{
    form.Form_Load(); // 10 %, one pass
    doubleClick(0);
    launcher().optLauncher.userClick(3); // 20 %
    doubleClick(0);
    EXPECT_EQ(block.blocks, (std::vector<std::uint64_t>{(100 + 51) * MB, (100 + 103) * MB}));
    EXPECT_EQ(programs.started.size(), 2u);
}

TEST_F(LauncherTest, FivePassesThatNeverMeetTheTargetStartTheProgramBeforeTheLastBlockGoes)
{
    profile.store("Launcher", "Retry", "4");
    form.Form_Load();
    programs.onStart = [&](const std::string&) { block.events.push_back("start"); };
    doubleClick(1);
    EXPECT_EQ(block.blocks.size(), 5u);
    EXPECT_EQ(events.yields, 40) << "four yields before and after each pass";
    EXPECT_EQ(block.events, (std::vector<std::string>{"hold 151", "hold 151", "free 151", "hold 151", "free 151",
                                                      "hold 151", "free 151", "hold 151", "free 151", "start",
                                                      "free 151"}))
        << "each block goes once the next one is written, the last after the start";
    EXPECT_EQ(block.held, 0);
}

TEST_F(LauncherTest, MemoryThatRoseEnoughEndsThePasses)
{
    profile.store("Launcher", "Retry", "4");
    form.Form_Load();
    memory.beforeRead = [&](MemorySnapshot& now) {
        if (events.yields >= 12) now.availPhys = 160 * MB;
    };
    doubleClick(0);
    EXPECT_EQ(block.blocks.size(), 1u) << "the second pass finds 60 MB more than before, past the 51 MB wanted";
    EXPECT_EQ(programs.started, std::vector<std::string>{"/usr/bin/gedit"});
}

TEST_F(LauncherTest, MemoryThatRoseByItselfBeforeTheFirstPassIsNoReleaseAndNotFreed)
{
    form.Form_Load();
    memory.beforeRead = [&](MemorySnapshot& now) {
        if (events.yields >= 4) now.availPhys = 160 * MB; // other programs' churn during the first yields
    };
    doubleClick(0);
    EXPECT_TRUE(block.blocks.empty());
    EXPECT_EQ(launcher().lastOutcome().passes, 0);
    EXPECT_EQ(launcher().lastOutcome().freedMB, 0);
    EXPECT_EQ(describeOutcome(launcher().lastOutcome()), "Nothing was freed: no release was needed with 160 MB available");
    EXPECT_EQ(programs.started, std::vector<std::string>{"/usr/bin/gedit"});
}

TEST_F(LauncherTest, APassThatTakesTimeLetsTheWindowGoOnUntilItIsOver)
{
    form.Form_Load();
    block.looksToFinish = 10;
    programs.onStart = [&](const std::string&) { block.events.push_back("start"); };
    doubleClick(0);
    EXPECT_EQ(block.looks, 10);
    EXPECT_EQ(events.yields, 8 + 9) << "the eight yields of the pass and one each time it was still under way";
    EXPECT_EQ(block.events, (std::vector<std::string>{"hold 151", "start", "free 151"}));
    EXPECT_EQ(launcher().lastOutcome().passes, 1);
}

// The user ends the program from the tray while the launch waits on its pass: the program is not started after
// the end, and no further pass is made.
TEST_F(LauncherTest, ExitWhileAPassRunsStartsNothing)
{
    profile.store("Launcher", "Retry", "3");
    form.Form_Load();
    block.looksToFinish = 10;
    events.pending = [&] {
        if (block.looks == 3 && exit.ended == 0) form.mnuExit_Click();
    };
    doubleClick(0);
    EXPECT_EQ(exit.ended, 1);
    EXPECT_EQ(block.looks, 3) << "the pass stopped when the program ended";
    EXPECT_TRUE(programs.started.empty());
    EXPECT_EQ(block.events, (std::vector<std::string>{"hold 151", "free 151"}));
}

TEST_F(LauncherTest, ARefusedBlockIsNoErrorEndsThePassesAndTheLaunchGoesOn)
{
    profile.store("Launcher", "Retry", "4");
    form.Form_Load();
    block.outcome = BlockOutcome::Refused;
    doubleClick(0);
    EXPECT_EQ(block.blocks.size(), 1u) << "a larger block in the next pass could not fare better";
    EXPECT_TRUE(reporter.errors.empty()) << "too little swap for the block is not a fault to report";
    EXPECT_TRUE(launcher().lastOutcome().refused);
    EXPECT_EQ(programs.started, std::vector<std::string>{"/usr/bin/gedit"});
}

TEST_F(LauncherTest, AShareOfExactlyAHalfRoundsToTheEvenNeighbour)
{
    memory.setMB(89, 40, 200, 100); // 90 MB as the program counts it: 5 % is 4.5
    profile.store("Launcher", "Freeup", "0");
    form.Form_Load();
    doubleClick(0);
    EXPECT_EQ(block.blocks, std::vector<std::uint64_t>{(40 + 4) * MB});
}

TEST_F(LauncherTest, AVanishedProgramIsNotFoundAndNothingIsFreedOrStarted)
{
    form.Form_Load();
    programs.files.clear();
    doubleClick(0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].prompt, "The program is not found. Please check manually if it exists.");
    EXPECT_EQ(messages.shown[0].style, mb::information);
    EXPECT_EQ(messages.shown[0].title, "Nimbrel");
    EXPECT_TRUE(block.blocks.empty());
    EXPECT_TRUE(programs.started.empty());
}

TEST_F(LauncherTest, AProgramThatCannotStartIsReportedAndTheUserToldWhyOnceTheMemoryIsBack)
{
    form.Form_Load();
    programs.unstartable = {"/opt/edit"};
    programs.whyUnstartable = "Permission denied: the file is not marked as executable";
    int heldWhileShown = -1;
    messages.whileShown = [&] { heldWhileShown = block.held; };
    doubleClick(1);
    EXPECT_EQ(tags(), std::vector<std::string>{"frmMain,launchApp"});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].prompt,
              "The program could not be started:\n/opt/edit\n\nPermission denied: the file is not marked as executable");
    EXPECT_EQ(messages.shown[0].style, mb::exclamation);
    EXPECT_EQ(heldWhileShown, 0) << "the freed memory is not held while the message waits";
}

TEST_F(LauncherTest, AProgramFromTheTrayThatCannotStartIsToldToo)
{
    profile.store("Launcher", "Freeup", "4");
    form.Form_Load();
    programs.unstartable = {"/opt/edit"};
    form.trayMenu.mnuP1.userClick(1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].prompt.find("could not be started:\n/opt/edit"), std::string::npos);
}

TEST_F(LauncherTest, TheTraysEntryStartsTheProgramOfThatNameNotOneContainingIt)
{
    form.Form_Load();
    form.trayMenu.mnuP1.userClick(1); // "edit"
    EXPECT_EQ(programs.started, std::vector<std::string>{"/opt/edit"});
    EXPECT_EQ(launcher().lstLauncher.listIndex(), 1);
}

TEST_F(LauncherTest, TwoProgramsOfOneNameEachStartFromTheirOwnTrayEntry)
{
    files.files[listFile] = entry("run.sh", "/home/ann/a/run.sh") + "\r\n" + entry("run.sh", "/home/ann/b/run.sh") + "\r\n";
    programs.files = {"/home/ann/a/run.sh", "/home/ann/b/run.sh"};
    profile.store("Launcher", "Freeup", "4");
    form.Form_Load();
    form.trayMenu.mnuP1.userClick(1);
    form.trayMenu.mnuP1.userClick(0);
    EXPECT_EQ(programs.started, (std::vector<std::string>{"/home/ann/b/run.sh", "/home/ann/a/run.sh"}));
}

TEST_F(LauncherTest, ALaunchDuringAnotherOnesYieldsStartsBothAndFreesBoth)
{
    form.Form_Load();
    bool nested = false;
    events.pending = [&] {
        if (nested) return;
        nested = true;
        form.trayMenu.mnuP1.userClick(1);
    };
    doubleClick(0);
    EXPECT_EQ(programs.started, (std::vector<std::string>{"/opt/edit", "/usr/bin/gedit"}));
    EXPECT_EQ(block.held, 0);
    EXPECT_FALSE(launcher().busy());
}

TEST_F(LauncherTest, StoredChoicesOutOfRangeAreReportedAndLeaveTheControlsAsCreated)
{
    profile.store("Launcher", "Retry", "7");
    profile.store("Launcher", "Freeup", "abc");
    form.Form_Load();
    EXPECT_EQ(tags(), (std::vector<std::string>{"frmMain,loadLauncher", "frmMain,loadLauncher"}));
    EXPECT_EQ(launcher().cmbLauncher.listIndex(), -1);
    EXPECT_EQ(launcher().optLauncher.selected(), 1);
    doubleClick(0);
    EXPECT_TRUE(block.blocks.empty()) << "no pass count: no pass";
    EXPECT_EQ(programs.started.size(), 1u);
}

TEST_F(LauncherTest, ChoicesAreStoredOnlyAfterTheLoad)
{
    profile.store("Launcher", "Retry", "2");
    profile.store("Launcher", "Freeup", "3");
    form.Form_Load();
    EXPECT_FALSE(profile.written("Launcher", "Retry"));
    EXPECT_FALSE(profile.written("Launcher", "Freeup"));
    launcher().cmbLauncher.userSelect(2);
    launcher().optLauncher.userClick(0);
    EXPECT_EQ(profile.written("Launcher", "Retry"), "2");
    EXPECT_EQ(profile.written("Launcher", "Freeup"), "0");
}

// The editor, opened from "Configure Program List": the test plays the user while it is open.
class LauncherEditorTest : public LauncherTest {
protected:
    void openEditor(const std::function<void(LauncherEditor&)>& user)
    {
        form.Form_Load();
        int shown = 0;
        launcher().showEditor = [&](LauncherEditor& editor) {
            ++shown;
            EXPECT_EQ(editor.lstPrograms.items(), launcher().lstLauncher.items()) << "a copy of the list";
            user(editor);
        };
        launcher().cmdConfigureLauncher.userClick();
        EXPECT_EQ(shown, 1);
    }
};

TEST_F(LauncherEditorTest, WithThirtyProgramsTheLimitIsShownAndNoDialogWithTwentyNineTheThirtiethIsAdded)
{
    openEditor([&](LauncherEditor& editor) {
        while (editor.lstPrograms.count() < 29) editor.lstPrograms.addItem(entry("p", "/p"));
        fileDialog.choices = {"/usr/bin/thirtieth", "/usr/bin/more"};
        editor.cmdAdd.userClick();
        EXPECT_EQ(editor.lstPrograms.count(), 30);
        EXPECT_EQ(editor.lstPrograms.item(29), entry("thirtieth", "/usr/bin/thirtieth"));
        editor.cmdAdd.userClick();
        EXPECT_EQ(fileDialog.opened, 1);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].prompt,
                  "There are already 30 programs in the list.Please remove some before adding new program.");
        editor.cmdCancel.userClick();
    });
}

TEST_F(LauncherEditorTest, TheSamePathIsADuplicateAndSelectedButAPathThatMerelyContainsItIsAnotherProgram)
{
    openEditor([&](LauncherEditor& editor) {
        fileDialog.choices = {"/opt/edit", "/usr/bin/ged", "/usr/bin/gedit.sh", "/OPT/Edit"};
        editor.cmdAdd.userClick();
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].prompt, "It seems the program is already in the list.");
        EXPECT_EQ(editor.lstPrograms.listIndex(), 1);
        for (int i = 0; i < 3; ++i) editor.cmdAdd.userClick();
        EXPECT_EQ(messages.shown.size(), 1u) << "names that contain, or are contained in, a listed path are others";
        EXPECT_EQ(editor.lstPrograms.count(), 5);
        EXPECT_EQ(editor.lstPrograms.item(4), entry("Edit", "/OPT/Edit")) << "letter case tells files apart here";
    });
}

// Where the list is in the system's code page: an accented path is listed as the user knows it, found again when
// added twice, and written back in that code page; a path the page cannot hold is refused, not written otherwise.
TEST_F(LauncherEditorTest, TheListIsInTheSystemsCodePageAndAPathItCannotHoldIsRefused)
{
    files.latin1 = true;
    programs.suffix = ".exe";
    files.files[listFile] = "Notepad|C:\\Caf\xE9\\notepad.exe\r\n";
    openEditor([&](LauncherEditor& editor) {
        EXPECT_EQ(editor.lstPrograms.items(), std::vector<std::string>{"Notepad|C:\\Caf\u00e9\\notepad.exe"});
        fileDialog.choices = {"C:\\Caf\u00e9\\notepad.exe", "C:\\\u65e5\u672c\\tool.exe", "C:\\R\u00e9sum\u00e9.exe"};
        for (int i = 0; i < 3; ++i) editor.cmdAdd.userClick();
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_EQ(messages.shown[0].prompt, LauncherEditor::duplicateMessage);
        EXPECT_EQ(messages.shown[1].prompt,
                  std::string(LauncherEditor::notEncodableMessage) + "\nC:\\\u65e5\u672c\\tool.exe");
        EXPECT_EQ(editor.lstPrograms.count(), 2);
        editor.cmdSave.userClick();
    });
    EXPECT_EQ(files.files[listFile],
              "Notepad|C:\\Caf\xE9\\notepad.exe\r\n" + *files.encode(entry("R\u00e9sum\u00e9", "C:\\R\u00e9sum\u00e9.exe")) + "\r\n");
    EXPECT_EQ(files.files[listFile].find("\xC3"), std::string::npos) << "nothing in UTF-8";
}

TEST_F(LauncherEditorTest, WhereFileNamesIgnoreCaseAPathInAnotherCaseIsADuplicate)
{
    programs.ignoreCase = true;
    openEditor([&](LauncherEditor& editor) {
        fileDialog.choices = {"/OPT/Edit", "/opt/editor"};
        editor.cmdAdd.userClick();
        EXPECT_EQ(messages.shown.at(0).prompt, "It seems the program is already in the list.");
        EXPECT_EQ(editor.lstPrograms.listIndex(), 1);
        editor.cmdAdd.userClick();
        EXPECT_EQ(editor.lstPrograms.count(), 3);
    });
}

TEST_F(LauncherEditorTest, NamesDropEveryExecutableSuffixAndDesktopEntriesUseTheirName)
{
    programs.suffix = ".exe";
    programs.desktopNames["/usr/share/applications/org.gnome.Calculator.desktop"] = "Calculator";
    openEditor([&](LauncherEditor& editor) {
        fileDialog.choices = {"/tools/Report.EXE.exe", "/tools/readme",
                              "/usr/share/applications/org.gnome.Calculator.desktop"};
        for (int i = 0; i < 3; ++i) editor.cmdAdd.userClick();
        EXPECT_EQ(programName(editor.lstPrograms.item(2)), "Report");
        EXPECT_EQ(programName(editor.lstPrograms.item(3)), "readme");
        EXPECT_EQ(editor.lstPrograms.item(4),
                  entry("Calculator", "/usr/share/applications/org.gnome.Calculator.desktop"));
    });
}

TEST(ProgramEntryTest, AWindowsPathLosesItsFolderAtABackslashWhereProgramsCarryAnEnding)
{
    EXPECT_EQ(nameForFile("C:\\Tools\\Editor.exe", ".exe"), "Editor");
    EXPECT_EQ(nameForFile("C:/Tools\\sub/Editor.exe", ".exe"), "Editor");
    // Elsewhere a backslash is a character of the name.
    EXPECT_EQ(nameForFile("/opt/odd\\name", ""), "odd\\name");
}

TEST_F(LauncherEditorTest, SavingWritesTheFileAndRefreshesTheListAndTheTrayMenu)
{
    openEditor([&](LauncherEditor& editor) {
        editor.lstPrograms.userSelect(0);
        editor.cmdRemove.userClick();
        fileDialog.choices = {"/usr/bin/xterm"};
        editor.cmdAdd.userClick();
        editor.cmdSave.userClick();
        EXPECT_FALSE(editor.frmLauncher.shown());
    });
    EXPECT_EQ(files.files[listFile], entry("edit", "/opt/edit") + "\r\n" + entry("xterm", "/usr/bin/xterm") + "\r\n");
    EXPECT_EQ(launcher().lstLauncher.count(), 2);
    EXPECT_EQ(form.trayMenu.mnuP1.caption(1), "xterm");
}

TEST_F(LauncherEditorTest, AnEmptyListWritesAnEmptyFileAndDisablesPrograms)
{
    openEditor([&](LauncherEditor& editor) {
        while (editor.lstPrograms.count() > 0) {
            editor.lstPrograms.userSelect(0);
            editor.cmdRemove.userClick();
        }
        editor.cmdSave.userClick();
    });
    EXPECT_EQ(files.files[listFile], "");
    EXPECT_FALSE(form.trayMenu.mnuPrograms.enabled());
}

TEST_F(LauncherEditorTest, AListThatCannotBeSavedIsToldAndTheEditStaysInTheEditor)
{
    const std::string before = files.files[listFile];
    files.unwritable = {listFile};
    openEditor([&](LauncherEditor& editor) {
        fileDialog.choices = {"/usr/bin/xterm"};
        editor.cmdAdd.userClick();
        editor.cmdSave.userClick();
        EXPECT_TRUE(editor.frmLauncher.shown()) << "the editor stays open";
        EXPECT_EQ(editor.lstPrograms.count(), 3) << "with the edit";
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].prompt, "The list of programs could not be saved:\n" + listFile +
                                                "\n\nPath/File access error\n\n" +
                                                LauncherEditor::changesKeptMessage);
        EXPECT_EQ(launcher().lstLauncher.count(), 2) << "the main window shows what is kept";
        EXPECT_EQ(form.trayMenu.mnuP1.count(), 2);

        files.unwritable.clear(); // the user makes room, and saves again
        editor.cmdSave.userClick();
        EXPECT_FALSE(editor.frmLauncher.shown());
    });
    EXPECT_NE(files.files[listFile], before);
    EXPECT_EQ(files.files[listFile].find("xterm") != std::string::npos, true);
    EXPECT_EQ(launcher().lstLauncher.count(), 3);
    EXPECT_EQ(form.trayMenu.mnuP1.count(), 3);
    EXPECT_EQ(tags(), std::vector<std::string>{"frmLauncher,cmdSave_Click"});
}

TEST_F(LauncherEditorTest, CancelKeepsEverythingAndRunStartsWithoutAReleaseOrACheck)
{
    programs.files.clear();
    openEditor([&](LauncherEditor& editor) {
        fileDialog.choices = {"/usr/bin/xterm"};
        editor.cmdAdd.userClick();
        editor.lstPrograms.userSelect(0);
        editor.lstPrograms.userDoubleClick();
        programs.unstartable = {"/opt/edit"};
        editor.lstPrograms.userSelect(1);
        editor.cmdRun.userClick();
        ASSERT_EQ(messages.shown.size(), 1u) << "a program that cannot start is told";
        EXPECT_EQ(messages.shown[0].prompt,
                  "The program could not be started:\n/opt/edit\n\nInvalid procedure call or argument");
        editor.cmdCancel.userClick();
        EXPECT_FALSE(editor.frmLauncher.shown());
    });
    EXPECT_EQ(programs.started, std::vector<std::string>{"/usr/bin/gedit"});
    EXPECT_TRUE(block.blocks.empty());
    EXPECT_EQ(tags(), std::vector<std::string>{"frmLauncher,cmdRun_Click"});
    EXPECT_EQ(launcher().lstLauncher.count(), 2);
    EXPECT_EQ(files.files[listFile].find("xterm"), std::string::npos);
}

} // namespace
} // namespace nimbrel
