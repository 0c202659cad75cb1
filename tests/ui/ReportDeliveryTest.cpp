// Error reports as the vendor's web server receives them: the reporter with
// the real transfer object, probe and event loop, against a server on 127.0.0.1.

#include "program/linux/network/QtConnectivityProbe.h"
#include "ui/qt/QtEventLoop.h"
#include "program/linux/network/QtHttpTransfer.h"

#include "online/OnlineReporter.h"
#include "settings/ModReg.h"
#include "support/Fakes.h"
#include "support/LoopbackHttpServer.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace nimbrel::testing {
namespace {

using namespace std::chrono_literals;

const std::string reportPath = "/error-reporting/error-msg.php";

// The program's reporter as main() puts it together, with a made-up system.
struct Reporter {
    Reporter(const std::string& vendorServer, const std::string& probePage,
             std::chrono::milliseconds probeTimeout = program::QtConnectivityProbe::defaultTimeout)
        : probe(probePage, probeTimeout), reporter({transfer, probe, events, system, profile, directory}, vendorServer)
    {
        reporter.getSystemInfo(modReg);
    }

    program::QtHttpTransfer transfer;
    program::QtConnectivityProbe probe;
    view::QtEventLoop events;
    FakeSystemVersion system;
    FakeProfileFile profile;
    FakeProgramDirectory directory;
    FakeRegistryStore registry;
    RecordingReporter unused;
    ModReg modReg{registry, unused};
    OnlineReporter reporter;
};

std::vector<std::string> targets(const std::vector<RecordedRequest>& requests)
{
    std::vector<std::string> found;
    for (const RecordedRequest& request : requests)
        found.push_back(request.method + " " + request.target);
    return found;
}

class ReportDelivery : public ::testing::Test {
protected:
    ReportDelivery()
    {
        server.answer("/probe", HttpAnswer::ok("<html>up</html>"));
        server.answer(reportPath, HttpAnswer::ok(""));
    }

    // The one report that reached the vendor's page.
    RecordedRequest theReport()
    {
        const auto reports = server.requestsFor(reportPath);
        if (reports.size() != 1) {
            ADD_FAILURE() << reports.size() << " reports arrived";
            return {};
        }
        return reports[0];
    }

    LoopbackHttpServer server;
    Reporter online{server.url(), server.url("/probe")};
};

TEST_F(ReportDelivery, AReportIsOneGetOfTheErrorPageBesidesTheProbe)
{
    online.reporter.reportError("frmMain,tmrAuto_Timer", 6, "Overflow");

    EXPECT_EQ(targets(server.requests()),
              (std::vector<std::string>{"GET /probe", "GET " + reportPath +
                                                          "?Debian%20GNU/Linux%2012%20(bookworm),6.1.0-18-amd64,,,"
                                                          "frmMain,tmrAuto_Timer,6,Overflow"}));
    EXPECT_TRUE(theReport().target.ends_with("frmMain,tmrAuto_Timer,6,Overflow"));
    EXPECT_FALSE(online.transfer.stillExecuting());
}

TEST_F(ReportDelivery, AnUnknownSystemStartsTheQueryWithAComma)
{
    online.system.identity = {};
    online.reporter.getSystemInfo(online.modReg);

    online.reporter.reportError("frmMain,initMemory", 6, "Overflow");

    EXPECT_EQ(theReport().target, reportPath + "?,,,,frmMain,initMemory,6,Overflow");
}

TEST_F(ReportDelivery, ANegativeNumberKeepsItsMinusSign)
{
    online.reporter.reportError("modReg,regSetValue", -2147467259, "Automation error");

    EXPECT_TRUE(theReport().target.ends_with(",modReg,regSetValue,-2147467259,Automation%20error")) << theReport().target;
}

TEST_F(ReportDelivery, ADescriptionWithBlanksCommasAmpersandsAndALineBreakArrivesIntact)
{
    online.reporter.reportError("frmMain,loadRAM", 13, "a, b & c\r\nHost: evil");

    const RecordedRequest report = theReport();
    EXPECT_TRUE(report.target.ends_with(",frmMain,loadRAM,13,a%2C%20b%20&%20c%0D%0AHost:%20evil")) << report.target;
    const auto hostLines = std::count_if(report.headerLines.begin(), report.headerLines.end(),
                                         [](const std::string& line) { return line.starts_with("Host:"); });
    EXPECT_EQ(hostLines, 1);
    for (const std::string& line : report.headerLines)
        EXPECT_EQ(line.find("evil"), std::string::npos) << line;
    EXPECT_EQ(report.requestLine.find('\r'), std::string::npos);
}

TEST_F(ReportDelivery, ErrorNumberZeroSendsNothingButTheProbe)
{
    online.reporter.reportError("frmMain,loadRAM", 0, "");

    EXPECT_EQ(targets(server.requests()), std::vector<std::string>{"GET /probe"});
}

TEST(ReportDeliveryOffline, WithoutAnAnswerFromTheProbePageNothingIsSent)
{
    LoopbackHttpServer vendor;
    Reporter online(vendor.url(), "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::closedPort()) + "/");

    online.reporter.reportError("frmMain,loadRAM", 380, "Invalid property value");
    online.reporter.reportError("frmMain,loadRAM", 380, "Invalid property value");

    EXPECT_TRUE(vendor.requests().empty());
}

TEST(ReportDeliveryOffline, TheProbeIsTriedOncePerReport)
{
    LoopbackHttpServer vendor;
    LoopbackHttpServer silentProbePage;
    silentProbePage.answerOthers(HttpAnswer::stall());
    Reporter online(vendor.url(), silentProbePage.url("/"), 1s);

    online.reporter.reportError("frmMain,loadRAM", 380, "Invalid property value");
    online.reporter.reportError("frmMain,loadAuto", 380, "Invalid property value");

    EXPECT_TRUE(silentProbePage.waitForRequests(2));
    EXPECT_EQ(silentProbePage.requests().size(), 2u);
    EXPECT_TRUE(vendor.requests().empty());
}

TEST_F(ReportDelivery, AServerThatNeverAnswersDoesNotHoldTheReporter)
{
    server.answer(reportPath, HttpAnswer::stall());

    online.reporter.reportError("frmMain,tmrAuto_Timer", 6, "Overflow");

    EXPECT_EQ(server.requestsFor(reportPath).size(), 1u);
    EXPECT_FALSE(online.transfer.stillExecuting());
}

TEST_F(ReportDelivery, AReportDuringAnotherTransferCancelsItAndIsSent)
{
    server.answer("/news.txt", HttpAnswer::held("news"));
    QTimer tick;
    tick.setInterval(5);
    bool reported = false;
    // A timer tick that fails while the window waits for a page.
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (server.requests().empty() || reported) return;
        reported = true;
        tick.stop();
        online.reporter.reportError("frmMain,tmrAuto_Timer", 6, "Overflow");
        server.release();
    });
    tick.start();

    const std::string page = online.transfer.openUrlText(server.url("/news.txt"));

    EXPECT_TRUE(reported);
    EXPECT_EQ(page, "");
    EXPECT_TRUE(theReport().target.ends_with("frmMain,tmrAuto_Timer,6,Overflow"));
    EXPECT_FALSE(online.transfer.stillExecuting());
}

} // namespace
} // namespace nimbrel::testing
