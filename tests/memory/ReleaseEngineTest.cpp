#include "core/system/MessageBoxes.h"
#include "memory/ReleaseEngine.h"
#include "settings/Settings.h"
#include "support/Fakes.h"
#include "support/VirtualScheduler.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

// A 512 MB machine whose release panel offers 2 ... 512 MB and "Number of Retrys" 1 ... 20.
class ReleaseEngineTest : public ::testing::Test {
protected:
    ReleaseEngineTest()
    {
        memory.setMB(512, 100, 1536, 900);
        for (int mb = 2; mb <= 512; mb += 2) lstRam.addItem(std::to_string(mb) + " MB");
        for (int i = 1; i <= 20; ++i) cmbRetry.addItem(std::to_string(i));
        cmbRetry.setListIndex(0);
        scheduler.attach(engine.tmrRam);
        scheduler.attach(engine.tmrPass);
    }

    void retries(int n) { cmbRetry.setListIndex(n - 1); }
    void select(const std::string& entry)
    {
        for (int i = 0; i < lstRam.count(); ++i) {
            if (lstRam.item(i) == entry) lstRam.userSelect(i);
        }
    }

    FakeMemoryStatus memory;
    FakeMemoryBlock block;
    FakeMessageBoxes messages;
    RecordingReporter reporter;
    VirtualScheduler scheduler;
    ListModel lstRam;
    ListModel cmbRetry;
    bool isLoading = false;
    FakeProfileFile profile;
    FakeProgramDirectory directory;
    Settings settings{profile, directory, reporter};
    ReleaseEngine engine{{memory, block, messages, reporter, settings}, lstRam, cmbRetry, isLoading};
};

TEST_F(ReleaseEngineTest, ATargetAlreadyReachedAtTheFirstTickEndsWithoutAPass)
{
    select("16 MB");
    engine.cmdRam.userClick();
    EXPECT_EQ(engine.releaseTarget(), 116);
    memory.setMB(512, 200, 1536, 900); // something else freed memory meanwhile
    scheduler.advance(1000);
    EXPECT_TRUE(block.blocks.empty());
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(engine.retryCount(), 0);
}

TEST_F(ReleaseEngineTest, ThreeRetriesWithATargetNeverMetPassAtTicksOneToThreeAndEndAtFour)
{
    retries(3);
    select("64 MB");
    engine.cmdRam.userClick();
    std::vector<std::uint64_t> passAt;
    block.onBlock = [&](std::uint64_t) { passAt.push_back(scheduler.elapsedMs()); };
    scheduler.advance(3000);
    EXPECT_EQ(passAt, (std::vector<std::uint64_t>{1000, 2000, 3000}));
    EXPECT_TRUE(engine.running()) << "still running until the fourth tick";
    scheduler.advance(1000);
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(engine.retryCount(), 0);
    // Each pass asks for the whole target, not the difference.
    for (std::uint64_t bytes : block.blocks) EXPECT_EQ(bytes, 164 * MB);
    EXPECT_TRUE(messages.shown.empty()) << "a release ends silently";
}

TEST_F(ReleaseEngineTest, AnEmptyOrNonNumericRetryCountEndsAtTheFirstTick)
{
    cmbRetry.setListIndex(-1);
    select("8 MB");
    engine.cmdRam.userClick();
    scheduler.advance(1000);
    EXPECT_FALSE(engine.running());
    EXPECT_TRUE(block.blocks.empty());

    cmbRetry.clear();
    cmbRetry.addItem("abc");
    cmbRetry.setListIndex(0);
    engine.cmdRam.userClick();
    scheduler.advance(1000);
    EXPECT_FALSE(engine.running());
    EXPECT_TRUE(block.blocks.empty());
}

TEST_F(ReleaseEngineTest, TheButtonAnswersBusyWhileAnyReleaseRunsAndLeavesItUnchanged)
{
    retries(5);
    engine.startRelease(300, 250'000, ReleaseOrigin::Automatic); // started by a policy, with the start-up wait
    const std::int32_t target = engine.releaseTarget();
    select("2 MB");
    engine.cmdRam.userClick();
    engine.mnuRelease.userClick();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].prompt, "The application is already releasing RAM.Please wait or try later.");
    EXPECT_EQ(messages.shown[0].title, "Nimbrel");
    EXPECT_EQ(messages.shown[0].style, mb::information);
    EXPECT_EQ(engine.releaseTarget(), target);
    EXPECT_EQ(engine.tmrRam.interval(), 250'000u);
    scheduler.advance(249'999);
    EXPECT_TRUE(block.blocks.empty()) << "the first pass waits the whole start-up wait";
    scheduler.advance(1);
    EXPECT_EQ(block.blocks.size(), 1u);
}

TEST_F(ReleaseEngineTest, AFirstDelayOfZeroMakesItsPassAtTheNextTickAndEnds)
{
    retries(1);
    engine.startRelease(64, 0, ReleaseOrigin::Startup); // a start-up wait with no entry chosen
    scheduler.advance(1);
    EXPECT_EQ(block.blocks.size(), 1u);
    scheduler.advance(1000);
    EXPECT_FALSE(engine.running());
    engine.cmdRam.userClick();
    EXPECT_TRUE(messages.shown.empty()) << "the button is free again";
}

TEST_F(ReleaseEngineTest, ARefusalSaysWhyInTheWordsOfTheSystemsPageFile)
{
    retries(5);
    block.outcome = BlockOutcome::Refused;
    memory.words = &pageFileWords;
    memory.setMB(512, 100, 1024, 100);
    select("300 MB");
    engine.cmdRam.userClick();
    scheduler.advance(1000);
    EXPECT_EQ(summariseOutcome(engine.lastOutcome()), "Release refused: too little page file space");
    EXPECT_EQ(engine.lblOutcome.caption(),
              "Nothing was freed: memory and free page file space together cannot hold the release's block (the "
              "Page File gauge counts memory too). A 300 MB release needs more than 300 MB of free page file space.");
    memory.setMB(512, 100, 512, 100);
    engine.cmdRam.userClick();
    scheduler.advance(1000);
    EXPECT_EQ(summariseOutcome(engine.lastOutcome()), "Release refused: no page file");
    EXPECT_EQ(engine.lblOutcome.caption().rfind("Nothing was freed: there is no page file, so Windows already "
                                                "counts all it could free as available (the Page File gauge is "
                                                "memory and page file space together).",
                                                0),
              0u);
}

TEST_F(ReleaseEngineTest, ARefusedBlockEndsTheReleaseAtOnceAndSaysWhy)
{
    retries(5);
    block.outcome = BlockOutcome::Refused;
    memory.setMB(512, 100, 512, 100); // no swap
    int finished = 0;
    engine.finished.connect([&] { ++finished; });
    select("300 MB");
    engine.cmdRam.userClick();
    scheduler.advance(1000);
    EXPECT_EQ(block.blocks.size(), 1u);
    EXPECT_FALSE(engine.running()) << "not busy for four more refusals";
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(engine.lastOutcome().refused);
    EXPECT_EQ(summariseOutcome(engine.lastOutcome()), "Release refused: no swap");
    // The whole reason stands on the panel, where the Page File gauge beside it reads nearly full.
    EXPECT_EQ(engine.lblOutcome.caption(),
              "Nothing was freed: there is no swap space, so Linux already counts all it could free as available "
              "(the Page File gauge is memory and swap together). A 300 MB release needs more than 300 MB of free "
              "swap.");
    EXPECT_TRUE(reporter.errors.empty()) << "the system not providing the block is not an error";
    engine.cmdRam.userClick();
    EXPECT_TRUE(messages.shown.empty()) << "the button is free again";
}

TEST_F(ReleaseEngineTest, ABlockGivenBackEarlyCountsAsAPassAndWhatWasFreedIsMeasured)
{
    retries(3);
    block.outcome = BlockOutcome::Aborted;
    block.onBlock = [&](std::uint64_t) { memory.snapshot.availPhys += 40 * MB; };
    select("256 MB");
    engine.cmdRam.userClick();
    scheduler.advance(4000);
    EXPECT_EQ(block.blocks.size(), 3u);
    EXPECT_FALSE(engine.running());
    EXPECT_FALSE(engine.lastOutcome().refused);
    EXPECT_EQ(engine.lastOutcome().freedMB, 120);
    EXPECT_EQ(engine.lastOutcome().origin, ReleaseOrigin::User);
    EXPECT_EQ(engine.lblOutcome.caption(), "Freed 120 MB with a memory block \u00b7 220 MB available now");

    memory.snapshot.availPhys = 50 * MB; // something else took memory meanwhile
    block.outcome = BlockOutcome::Written;
    block.onBlock = [&](std::uint64_t) { memory.snapshot.availPhys -= 5 * MB; };
    engine.startRelease(10, 1000, ReleaseOrigin::Timed);
    scheduler.advance(4000);
    EXPECT_EQ(engine.lastOutcome().freedMB, 0) << "never negative";
    EXPECT_EQ(engine.lastOutcome().origin, ReleaseOrigin::Timed);
}

TEST_F(ReleaseEngineTest, TargetsOf4096MBAndMoreAreOneBlockWithoutOverflow)
{
    memory.setMB(65536, 30000, 70000, 40000);
    engine.startRelease(2000, 1000, ReleaseOrigin::Automatic);
    scheduler.advance(1000);
    ASSERT_EQ(block.blocks.size(), 1u);
    EXPECT_EQ(block.blocks[0], 32000ull * MB);
    EXPECT_TRUE(reporter.errors.empty());
}

TEST_F(ReleaseEngineTest, SelectingAnAmountRenamesTheMenuEntryAndStoresItsPosition)
{
    select("16 MB");
    EXPECT_EQ(lstRam.listIndex(), 7);
    EXPECT_EQ(engine.mnuRelease.caption(), "Free Up 16 MB Now");
    EXPECT_EQ(profile.written("RAM", "Release"), "7");
    EXPECT_EQ(profile.paths.back(), "/tmp/settings.ini");
    profile.writes.clear();
    select("16 MB");
    EXPECT_EQ(profile.written("RAM", "Release"), "7") << "choosing the same entry again writes again";
}

TEST_F(ReleaseEngineTest, WhileLoadingTheStoredSelectionChangesNothingElse)
{
    isLoading = true;
    profile.store("ram", "RELEASE", "7");
    engine.restoreSelection();
    EXPECT_EQ(lstRam.listIndex(), 7);
    EXPECT_EQ(engine.mnuRelease.caption(), "Free&Up RAM Now");
    EXPECT_TRUE(profile.writes.empty());
}

TEST_F(ReleaseEngineTest, StoredPositionsOutsideTheListLeaveNoSelection)
{
    isLoading = true;
    for (const char* stored : {"256", "300", "abc", ""}) {
        lstRam.setListIndex(-1);
        profile.store("RAM", "Release", stored);
        engine.restoreSelection();
        EXPECT_EQ(lstRam.listIndex(), -1) << stored;
    }
    EXPECT_TRUE(reporter.errors.empty());
    profile.store("RAM", "Release", "-2");
    engine.restoreSelection();
    ASSERT_EQ(reporter.errors.size(), 1u);
    EXPECT_EQ(reporter.errors[0].tag, "frmMain,loadRAM");
    EXPECT_EQ(reporter.errors[0].number, 380);
}

TEST_F(ReleaseEngineTest, NoSelectionStartsAReleaseOfNothingThatEndsAtItsFirstTick)
{
    engine.cmdRam.userClick();
    EXPECT_EQ(engine.releaseTarget(), 100);
    scheduler.advance(1000);
    EXPECT_FALSE(engine.running());
    EXPECT_TRUE(block.blocks.empty());
}

TEST_F(ReleaseEngineTest, AReleaseStopsAtTheFirstTickThatFindsItsTargetMet)
{
    retries(10);
    select("100 MB");
    block.onBlock = [&](std::uint64_t) { memory.snapshot.availPhys += 60 * MB; };
    engine.cmdRam.userClick();
    scheduler.advance(20'000);
    EXPECT_EQ(block.blocks.size(), 2u) << "100 -> 160 -> 220 MB reaches the target of 200 MB";
    EXPECT_FALSE(engine.running());
}

TEST_F(ReleaseEngineTest, MemoryThatRoseByItselfBeforeTheFirstPassIsNoReleaseAndNotFreed)
{
    retries(3);
    select("16 MB");
    engine.cmdRam.userClick();
    // Other programs' churn: 20 MB come free before the first tick, with no pass run.
    memory.setMB(512, 120, 1536, 900);
    scheduler.advance(1000);
    EXPECT_TRUE(block.blocks.empty());
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(engine.lastOutcome().passes, 0);
    EXPECT_EQ(engine.lastOutcome().freedMB, 0);
    EXPECT_EQ(engine.lblOutcome.caption(), "Nothing was freed: no release was needed with 120 MB available");
    EXPECT_EQ(summariseOutcome(engine.lastOutcome()), "No release needed");

    // The same from a policy, with the start-up wait.
    engine.startRelease(4, 30'000, ReleaseOrigin::Timed);
    memory.setMB(512, 4330, 5000, 4000);
    scheduler.advance(30'000);
    EXPECT_EQ(engine.lblOutcome.caption(), "Nothing was freed: no release was needed with 4,330 MB available");
    EXPECT_EQ(engine.lastOutcome().origin, ReleaseOrigin::Timed);
}

TEST_F(ReleaseEngineTest, AReleaseWithNoPassAllowedSaysSoAndNeverFreed)
{
    cmbRetry.setListIndex(-1);
    select("8 MB");
    engine.cmdRam.userClick();
    memory.setMB(512, 150, 1536, 900);
    scheduler.advance(1000);
    EXPECT_EQ(engine.lblOutcome.caption(),
              "Nothing was freed: Number of Retrys allows no pass \u00b7 150 MB available now");
    EXPECT_EQ(summariseOutcome(engine.lastOutcome()), "Nothing freed");
}

TEST_F(ReleaseEngineTest, TheButtonWithNoAmountSelectedSaysNoAmountIsChosen)
{
    // A stored position beyond the list (settings carried over from a machine with more memory).
    settings.writeData(keys::ramRelease, "900");
    engine.restoreSelection();
    ASSERT_EQ(lstRam.listIndex(), -1);
    EXPECT_EQ(releaseEntryCaption(lstRam), "Free&Up RAM Now") << "the menu entry names no empty amount";
    engine.cmdRam.userClick();
    scheduler.advance(1000);
    EXPECT_TRUE(block.blocks.empty());
    EXPECT_EQ(engine.lblOutcome.caption(), "Nothing was freed: no amount is chosen \u00b7 100 MB available now");
    EXPECT_EQ(summariseOutcome(engine.lastOutcome()), "Nothing freed");
    select("8 MB");
    EXPECT_EQ(engine.mnuRelease.caption(), "Free Up 8 MB Now");
}

TEST_F(ReleaseEngineTest, PassesThatFreedNothingSaySoWithTheirCause)
{
    retries(2);
    select("20 MB");
    engine.cmdRam.userClick();
    scheduler.advance(3000);
    ASSERT_EQ(block.blocks.size(), 2u);
    EXPECT_EQ(engine.lastOutcome().freedMB, 0);
    EXPECT_EQ(engine.lblOutcome.caption(),
              "Nothing was freed: the memory block found no idle memory to page out \u00b7 100 MB available now");
    EXPECT_EQ(summariseOutcome(engine.lastOutcome()), "Nothing freed");
}

TEST_F(ReleaseEngineTest, APassThatTakesTimeShowsItsProgressKeepsTheButtonBusyAndCountsOnceOver)
{
    retries(2);
    block.looksToFinish = 4; // done at the fourth look: 40, 80 and 120 ms after it began
    block.onBlock = [&](std::uint64_t) { memory.snapshot.availPhys += 30 * MB; };
    select("300 MB");
    engine.cmdRam.userClick();
    scheduler.advance(1000);
    ASSERT_EQ(block.blocks.size(), 1u);
    EXPECT_EQ(engine.lblOutcome.caption(), "Releasing: 100 of 400 MB");
    EXPECT_TRUE(engine.tmrPass.enabled());
    scheduler.advance(40);
    EXPECT_EQ(engine.lblOutcome.caption(), "Releasing: 200 of 400 MB");
    engine.cmdRam.userClick();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].prompt, ReleaseEngine::busyMessage);
    EXPECT_EQ(engine.retryCount(), 0) << "not counted while under way";
    scheduler.advance(80);
    EXPECT_FALSE(engine.tmrPass.enabled());
    EXPECT_EQ(engine.retryCount(), 1);
    scheduler.advance(880); // the second pass at 2 s, the end at 3 s
    EXPECT_EQ(block.blocks.size(), 2u);
    EXPECT_EQ(block.blocks[1], 400 * MB) << "each pass asks for the whole target";
    scheduler.advance(2000);
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(engine.lastOutcome().passes, 2);
    EXPECT_EQ(engine.lblOutcome.caption(), "Freed 60 MB with a memory block \u00b7 160 MB available now");
}

TEST_F(ReleaseEngineTest, TicksThatComeWhileAPassIsUnderWayWaitForIt)
{
    retries(5);
    block.looksToFinish = 60; // 2.4 s
    select("64 MB");
    engine.startRelease(64, 1000, ReleaseOrigin::Automatic);
    scheduler.advance(3000);
    EXPECT_EQ(block.blocks.size(), 1u) << "the ticks at 2 s and 3 s start nothing";
    scheduler.advance(1000);
    EXPECT_EQ(block.blocks.size(), 2u) << "the tick after it ended makes the next pass";
}

TEST_F(ReleaseEngineTest, APassUnderWayWhenAPolicyStartsTheReleaseAfreshCountsForTheNewRelease)
{
    retries(1);
    block.looksToFinish = 10;
    block.onBlock = [&](std::uint64_t) { memory.snapshot.availPhys += 30 * MB; };
    select("64 MB");
    engine.cmdRam.userClick();
    scheduler.advance(1040);
    engine.startRelease(16, 1000, ReleaseOrigin::Automatic);
    scheduler.advance(1000); // the pass ends at 1.36 s; the tick at 2.04 s finds the one pass allowed made
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(block.blocks.size(), 1u);
    EXPECT_EQ(engine.lastOutcome().passes, 1);
    EXPECT_EQ(engine.lblOutcome.caption(),
              "Nothing was freed: the memory block found no idle memory to page out \u00b7 130 MB available now")
        << "measured from what was available when the policy started it, after the block had been asked for";
}

TEST_F(ReleaseEngineTest, TheSettingsKeyForcesTheBlockOnEveryPass)
{
    std::vector<bool> blockOnly;
    struct Recording : FakeMemoryBlock {
        std::vector<bool>* seen;
        std::unique_ptr<RunningPass> startPass(const PassRequest& request) override
        {
            seen->push_back(request.blockOnly);
            return FakeMemoryBlock::startPass(request);
        }
    } recording;
    recording.seen = &blockOnly;
    ReleaseEngine other{{memory, recording, messages, reporter, settings}, lstRam, cmbRetry, isLoading};
    scheduler.attach(other.tmrRam);
    scheduler.attach(other.tmrPass);
    other.startRelease(64, 1000, ReleaseOrigin::User);
    scheduler.advance(1000);
    profile.store("RAM", "Method", "block");
    other.startRelease(64, 1000, ReleaseOrigin::User);
    scheduler.advance(1000);
    EXPECT_EQ(blockOnly, (std::vector<bool>{false, true}));
}

} // namespace
} // namespace nimbrel
