// The program ended (a crash, a kill, the power going) at each change of the
// update's stored values, from the download to the thank-you: the next starts
// always end with the old program and its own number or the new program and
// the new number, and with nothing left over.

#include "support/UpdateHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

const std::string vendorServer = "http://127.0.0.1:8765";
const std::string folder = "/home/ann/nimbrel";
const std::string key = "Software\\Microsoft\\Nimbrel";
const std::string oldProgram = "\x7f" "ELF the installed program, version 5";

// Thrown where the process dies: nothing of it runs any further.
struct ProcessEnded {};

// The changes of stored values from Proceed to the end of the clean-up: the
// download's five, the replacement's one, the new program's note that it is
// coming up and its end at the first turn of the event loop, the clean-up's
// five (the new version's number among them).
constexpr int valueChanges = 13;
// The change the new program makes when it reaches its event loop: dead before
// it, the new program never came up, and the next start puts the old one back.
constexpr int cameUpChange = 7;

class UpdateCrashPoints : public ::testing::TestWithParam<int>, protected UpdateHarness {
protected:
    UpdateCrashPoints() : UpdateHarness(vendorServer)
    {
        directory.dir = folder;
        events.pending = [this] { clock.advance(50); };
        registry.createKey(key);
        registry.setValue(key, "ver", "5");
        registry.setValue(key, "Up", "a");
        files.files[folder + "/Nimbrel"] = oldProgram;
        newProgram = "\x7f" "ELF";
        newProgram.resize(200000, 'n');
        transfer.serve(vendorServer + "/nbl.txt", "6");
        transfer.serve(vendorServer + "/nblupdate.exe", newProgram);
        transfer.serve(vendorServer + "/nblupdate.exe.minisig",
                       FakePackageTrust::signature("Nimbrel 6, file:nblupdate.exe", newProgram));
    }

    // The program dies just before the change of that number (counted from 0); -1: it never dies.
    void endAtChange(int death)
    {
        int changes = 0;
        registry.beforeChange = [this, death, changes]() mutable {
            ++changesMade;
            if (changes++ == death) throw ProcessEnded{};
        };
    }

    // Proceed, then the starts that follow it, each a new process.
    void proceedAndStartAgain()
    {
        dialog.cmdProceed.userClick();
        for (int start = 0; start < 3; ++start) startProgram();
    }

    std::optional<std::string> stored(const std::string& name) { return registry.queryValue(key, name); }

    std::string newProgram;
    int changesMade = 0;
};

TEST_F(UpdateCrashPoints, AnUpdateThatRunsThroughChangesTheValuesElevenTimes)
{
    endAtChange(-1);
    proceedAndStartAgain();
    EXPECT_EQ(changesMade, valueChanges);
    EXPECT_EQ(files.files[folder + "/Nimbrel"], newProgram);
    EXPECT_EQ(stored("ver"), "6");
}

TEST_P(UpdateCrashPoints, EndedBeforeAChangeTheNextStartsFinishOrUndoTheUpdate)
{
    const int death = GetParam();
    endAtChange(death);
    bool ended = false;
    try {
        proceedAndStartAgain();
    } catch (const ProcessEnded&) {
        ended = true;
    }
    ASSERT_TRUE(ended);

    // The program is started again, as often as it takes.
    registry.beforeChange = nullptr;
    for (int start = 0; start < 3; ++start) startProgram();

    // Until "Up" = "b" (the download's fifth change) is stored, nothing was pending; a new program that died
    // between its note and its event loop did not come up.
    const bool installed = death >= 5 && death != cameUpChange;
    EXPECT_EQ(files.files[folder + "/Nimbrel"], installed ? newProgram : oldProgram);
    EXPECT_EQ(stored("ver"), installed ? "6" : "5");
    EXPECT_EQ(stored("Up"), "a");
    EXPECT_FALSE(files.holds(folder + "/nbl")) << "no stale download stays";
    EXPECT_EQ(stored("sha"), std::nullopt);
    EXPECT_EQ(stored("nver"), std::nullopt);

    // And a later check offers the update again only where it was not installed.
    transfer.gets.clear();
    dialog.cmdProceed.userClick();
    EXPECT_EQ(dialog.ListView1.lines().back().text == "No new update available.", installed);
}

INSTANTIATE_TEST_SUITE_P(EachChange, UpdateCrashPoints, ::testing::Range(0, valueChanges));

} // namespace
} // namespace nimbrel
