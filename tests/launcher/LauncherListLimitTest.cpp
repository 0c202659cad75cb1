// Launcher.mbl files made by hand, as large as a user can make them: the start reads a bounded part of them.

#include "online/OnlineReporter.h"
#include "support/FormHarness.h"

#include "launcher/ProgramEntry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

const std::string listFile = "/opt/nimbrel/Launcher.mbl";

// A list of as many entries as fill the bytes given, each line as long as given (CR LF included).
std::string listOf(std::size_t bytes, std::size_t lineLength = 80)
{
    std::string list;
    for (int i = 0; list.size() < bytes; ++i) {
        std::string number = std::to_string(i);
        number.insert(0, 6 - number.size(), '0');
        std::string path = "/opt/progs/p" + number;
        path.resize(lineLength - 7 - 52 - 1 - 2, 'x');
        list += makeEntry("p" + number, path) + "\r\n";
    }
    return list;
}

// A list of so many entries, their lines ended by LF alone.
std::string entries(int count)
{
    std::string list;
    for (int i = 0; i < count; ++i) list += makeEntry("p", "/bin/p" + std::to_string(i)) + "\n";
    return list;
}

class LauncherListLimitTest : public ::testing::Test, public FormHarness {
protected:
    const std::vector<std::string>& listed() { return form.launcher.lstLauncher.items(); }
    bool toldOnce()
    {
        return messages.shown.size() == 1 && messages.shown[0].prompt.find("left out") != std::string::npos &&
               messages.shown[0].title == "Nimbrel";
    }
};

TEST_F(LauncherListLimitTest, AFiftyMegabyteListShowsItsFirstThousandEntriesAndTellsOnceTheRestWasLeftOut)
{
    files.files[listFile] = listOf(50 * 1024 * 1024);
    bool windowShownFirst = false;
    messages.whileShown = [&] { windowShownFirst = form.frmMain.shown(); };
    form.Form_Load();

    EXPECT_EQ(listed(), splitLines(files.files[listFile], 1000));
    ASSERT_TRUE(toldOnce());
    EXPECT_NE(messages.shown[0].prompt.find("first 1000 lines"), std::string::npos) << messages.shown[0].prompt;
    EXPECT_TRUE(windowShownFirst) << "the window shows, then the message";
    EXPECT_TRUE(reporter.errors.empty());
}

TEST_F(LauncherListLimitTest, LongLinesStopAtTheByteLimitAndTheLineItCutsIsLeftOutWhole)
{
    // 2,000 bytes a line: 524 whole lines in the first megabyte, the 525th cut by it.
    files.files[listFile] = listOf(3 * 1024 * 1024, 2000);
    form.Form_Load();

    ASSERT_EQ(listed().size(), 524u);
    EXPECT_EQ(listed(), splitLines(files.files[listFile], 524));
    EXPECT_TRUE(toldOnce());
}

TEST_F(LauncherListLimitTest, AThousandEntriesAreReadWholeWithoutAWord)
{
    files.files[listFile] = entries(1000);
    form.Form_Load();
    EXPECT_EQ(listed().size(), 1000u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LauncherListLimitTest, OneEntryMoreThanAThousandIsLeftOutAndTold)
{
    files.files[listFile] = entries(1001);
    form.Form_Load();
    EXPECT_EQ(listed().size(), 1000u);
    EXPECT_EQ(listed().back(), makeEntry("p", "/bin/p999"));
    EXPECT_TRUE(toldOnce());
}

// Trapped errors recorded on their way to the real reporter, whose requests a fake transfer records.
struct ReportsToTheServer : ErrorReporter {
    FakeHttpTransfer transfer;
    FakeProbe probe;
    FakeEventLoop reportEvents;
    FakeSystemVersion system;
    FakeProfileFile reportSettings;
    FakeProgramDirectory reportDirectory;
    OnlineReporter online{{transfer, probe, reportEvents, system, reportSettings, reportDirectory},
                          "http://127.0.0.1:8765"};
    std::vector<ReportedError> trapped;

    void reportError(const std::string& tag, int number, const std::string& description) override
    {
        trapped.push_back({tag, number, description});
        online.reportError(tag, number, description);
    }
    std::size_t sent() const
    {
        return static_cast<std::size_t>(
            std::count_if(transfer.calls.begin(), transfer.calls.end(), [](const auto& call) {
                return call.starts_with("GET http://127.0.0.1:8765/error-reporting/");
            }));
    }
    std::size_t kindsTrapped() const
    {
        std::set<std::tuple<std::string, int, std::string>> kinds;
        for (const auto& e : trapped) kinds.insert({e.tag, e.number, e.description});
        return kinds.size();
    }
};

struct BadListHarness : ReportsToTheServer, FormHarness {
    BadListHarness() : FormHarness(LocalTime{1'700'000'000}, static_cast<ReportsToTheServer*>(this)) {}
};

TEST(LauncherBadList, FiftyMegabytesOfLinesWithoutABarSendAReportOfEachKindOnce)
{
    BadListHarness h;
    std::string list;
    while (list.size() < 50 * 1024 * 1024) list += "this line names no program at all\r\n";
    h.files.files[listFile] = list;
    h.form.Form_Load();

    EXPECT_EQ(h.form.launcher.lstLauncher.count(), 1000);
    EXPECT_EQ(h.sent(), h.kindsTrapped()) << "each kind of failure is sent once, however many lines fail";
    EXPECT_LE(h.sent(), 1u);
    EXPECT_EQ(h.probe.probes, static_cast<int>(h.sent()));
}

} // namespace
} // namespace nimbrel
