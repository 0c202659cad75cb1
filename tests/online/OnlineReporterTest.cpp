#include "online/OnlineReporter.h"
#include "online/ReportText.h"
#include "settings/ModReg.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

const std::string server = "http://127.0.0.1:8765";
const std::string reportPath = server + "/error-reporting/error-msg.php?";

class OnlineReporterTest : public ::testing::Test {
protected:
    OnlineReporterTest()
    {
        system.identity = {"Microsoft Windows XP", "5.1.2600", "Service Pack 2"};
        registry.createKey("Software\\Microsoft\\Internet Explorer");
        registry.setValue("Software\\Microsoft\\Internet Explorer", "Version", "6.0.2900.2180");
        reporter.getSystemInfo(modReg);
    }

    FakeHttpTransfer transfer;
    FakeProbe probe;
    FakeEventLoop events;
    FakeSystemVersion system;
    FakeProfileFile profile;
    FakeProgramDirectory directory;
    FakeRegistryStore registry;
    RecordingReporter unused;
    ModReg modReg{registry, unused};
    OnlineReporter reporter{{transfer, probe, events, system, profile, directory}, server};
};

TEST_F(OnlineReporterTest, AReportIsOneGetWithThePositionalFieldsEachAfterAComma)
{
    reporter.reportError("frmMain,tmrAuto_Timer", 6, "Overflow");
    EXPECT_EQ(transfer.calls, (std::vector<std::string>{
                                  "cancel",
                                  "GET " + reportPath +
                                      "Microsoft%20Windows%20XP,5.1.2600,Service%20Pack%202,6.0.2900.2180,"
                                      "frmMain,tmrAuto_Timer,6,Overflow"}));
    EXPECT_EQ(probe.probes, 1);
}

TEST_F(OnlineReporterTest, ANegativeNumberKeepsItsSignAndOddCharactersAreEncoded)
{
    reporter.reportError("modReg,regSetValue", -2147467259, "a, b & c\r\nHost: evil #1 100% \xC3\xA9");
    ASSERT_EQ(transfer.calls.size(), 2u);
    const std::string url = transfer.calls[1];
    // The description's own comma is encoded: only the program's commas separate the fields.
    EXPECT_TRUE(url.ends_with(",modReg,regSetValue,-2147467259,a%2C%20b%20&%20c%0D%0AHost:%20evil%20%231%20100%25%20%C3%A9"))
        << url;
}

// The update's start-up step runs, and may report, before the main window has read a single setting.
TEST_F(OnlineReporterTest, ReportsTurnedOffInTheSettingsSendNothingFromTheFirstReportOn)
{
    profile.store("Online", "Reports", "0");
    profile.paths.clear();
    OnlineReporter turnedOff{{transfer, probe, events, system, profile, directory}, server};
    turnedOff.reportError("update,finishUpdate", 53, "File not found");
    turnedOff.reportError("frmMain,tmrAuto_Timer", 6, "Overflow");
    EXPECT_TRUE(transfer.calls.empty());
    EXPECT_EQ(probe.probes, 0);
    EXPECT_EQ(profile.paths, std::vector<std::string>{"/tmp/settings.ini"}) << "read once, where the settings are";
}

TEST_F(OnlineReporterTest, AnyOtherValueOfTheSwitchSendsReports)
{
    for (const char* value : {"1", "", "no"}) {
        profile.store("Online", "Reports", value);
        FakeHttpTransfer sent;
        OnlineReporter reporting{{sent, probe, events, system, profile, directory}, server};
        reporting.reportError("update,finishUpdate", 53, "File not found");
        EXPECT_EQ(sent.calls.size(), 2u) << "Reports=" << value;
    }
}

TEST_F(OnlineReporterTest, OfflineNothingIsSentButTheProbeIsTriedOncePerReport)
{
    probe.online = false;
    reporter.reportError("frmMain,loadRAM", 380, "Invalid property value");
    reporter.reportError("frmMain,loadAuto", 380, "Invalid property value");
    EXPECT_TRUE(transfer.calls.empty());
    EXPECT_EQ(probe.probes, 2);
}

std::size_t requestsSent(const FakeHttpTransfer& transfer)
{
    return static_cast<std::size_t>(std::count_if(transfer.calls.begin(), transfer.calls.end(),
                                                  [](const std::string& call) { return call.starts_with("GET "); }));
}

TEST_F(OnlineReporterTest, AReportLikeOneAlreadyMadeIsNeitherProbedForNorSentAgain)
{
    // A broken file read line by line: the same failure for every line.
    for (int line = 0; line < 50000; ++line) reporter.reportError("frmMain,loadMenu", 5, "Invalid procedure call");
    EXPECT_EQ(requestsSent(transfer), 1u);
    EXPECT_EQ(probe.probes, 1);

    // Another tag, another number or another text is news.
    reporter.reportError("frmMain,loadRAM", 5, "Invalid procedure call");
    reporter.reportError("frmMain,loadMenu", 6, "Invalid procedure call");
    reporter.reportError("frmMain,loadMenu", 5, "Overflow");
    EXPECT_EQ(requestsSent(transfer), 4u);
    EXPECT_EQ(probe.probes, 4);

    // A first one lost offline is not tried again either.
    probe.online = false;
    reporter.reportError("frmMain,tmrCPU_Timer", 6, "Overflow");
    probe.online = true;
    reporter.reportError("frmMain,tmrCPU_Timer", 6, "Overflow");
    EXPECT_EQ(requestsSent(transfer), 4u);
}

TEST_F(OnlineReporterTest, AfterAThousandDifferentReportsARunSendsNoMore)
{
    for (int i = 0; i < 1000; ++i) reporter.reportError("frmMain,tmrMemory_Timer", 6, "Overflow " + std::to_string(i));
    EXPECT_EQ(requestsSent(transfer), 1000u);
    reporter.reportError("frmMain,tmrMemory_Timer", 6, "Overflow 1000");
    reporter.reportError("frmMain,loadRAM", 380, "Invalid property value");
    EXPECT_EQ(requestsSent(transfer), 1000u);
}

TEST_F(OnlineReporterTest, ErrorNumberZeroSendsNothing)
{
    reporter.reportError("frmMain,loadRAM", 0, "");
    EXPECT_TRUE(transfer.calls.empty());
    EXPECT_EQ(probe.probes, 1);
}

TEST_F(OnlineReporterTest, ATransferInProgressIsCancelledAndAwaitedBeforeTheReport)
{
    transfer.busyTests = 3;
    reporter.reportError("frmAutoUpdate,cmd_Proceed", 5, "Invalid procedure call");
    ASSERT_EQ(transfer.calls.size(), 2u);
    EXPECT_EQ(transfer.calls[0], "cancel");
    EXPECT_EQ(events.yields, 1 + 3 * 2) << "one yield in the probe, two per busy test";
}

TEST_F(OnlineReporterTest, ReportsFromInsideAReportsWaitStayBounded)
{
    int started = 0;
    // Every wait lets another tick fail and report, as a slow server would, each failure a new one.
    transfer.duringGet = [&](const std::string&) {
        ++started;
        reporter.reportError("frmMain,tmrMemory_Timer", 6, "Overflow at tick " + std::to_string(started));
    };
    reporter.reportError("frmMain,tmrMemory_Timer", 6, "Overflow");
    EXPECT_GT(started, 1) << "a report from inside a wait goes out as well";
    EXPECT_LT(started, 10) << "but not one for every tick of a server that never answers";

    transfer.duringGet = nullptr;
    reporter.reportError("frmMain,tmrCPU_Timer", 6, "Overflow");
    EXPECT_NE(transfer.calls.back().find("frmMain,tmrCPU_Timer"), std::string::npos)
        << "once the waits are over, the next report goes out again";
}

TEST_F(OnlineReporterTest, AnUnknownSystemStartsTheQueryWithAComma)
{
    FakeSystemVersion unknown;
    unknown.identity = {};
    FakeRegistryStore emptyRegistry;
    ModReg emptyReg{emptyRegistry, unused};
    OnlineReporter r{{transfer, probe, events, unknown, profile, directory}, server};
    r.getSystemInfo(emptyReg);
    r.reportError("frmMain,initMemory", 6, "Overflow");
    EXPECT_EQ(transfer.calls.back(), "GET " + reportPath + ",,,,frmMain,initMemory,6,Overflow");
}

TEST(ReportText, QueryCharactersThatMayStandStayAsTheyAreButTheComma)
{
    EXPECT_EQ(encodeField("a,b&c=d;e/f?g:h@i'j(k)l*m+n!o$p-q.r_s~t"), "a%2Cb&c=d;e/f?g:h@i'j(k)l*m+n!o$p-q.r_s~t");
    EXPECT_EQ(encodeField(std::string("\0\x7F\"<>\\^`{|}[]", 13)),
              "%00%7F%22%3C%3E%5C%5E%60%7B%7C%7D%5B%5D");
}

} // namespace
} // namespace nimbrel
