// An error met at start-up, as the vendor's server hears of it: a graph
// background that is no picture, reported with one GET after a look at the
// probe page, while the user sees the window and nothing else.

#include "DesktopSession.h"
#include "WindowPlaces.h"
#include "platform/linux/OsReleaseVersion.h"
#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

namespace nimbrel::e2e {
namespace {

using namespace std::chrono_literals;
using nimbrel::testing::LoopbackHttpServer;
using nimbrel::testing::RecordedRequest;

// The sanitized build starts slowly, and the machine may be busy with other tests.
constexpr auto patience = 60s;

const std::string reportPath = "/error-reporting/error-msg.php";
const std::string probePath = "/probe";
const std::string notAPicture = "Holiday notes, saved under the wrong name.\n";

std::string percentDecoded(const std::string& text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            plain += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

std::string queryOf(const RecordedRequest& request)
{
    const std::size_t question = request.target.find('?');
    return question == std::string::npos ? std::string() : request.target.substr(question + 1);
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string described(const std::vector<RecordedRequest>& requests)
{
    std::string text;
    for (const RecordedRequest& r : requests)
        text += "  " + r.requestLine + "\n";
    return text.empty() ? "  (none)\n" : text;
}

class ErrorReportOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = DesktopSession::missingTools();
        if (!missing.empty()) GTEST_SKIP() << missing;
        session = std::make_unique<DesktopSession>();
        // The pointer starts in the middle of the screen, where the window will be; out of its way,
        // it raises no tool tip to be taken for something the program showed.
        ASSERT_TRUE(session->x("xdotool mousemove --sync 1000 740").has_value());
        // A text file where the history graphs expect their background bitmap.
        std::ofstream(graphBackground(), std::ios::binary) << notAPicture;
    }

    std::string graphBackground() const { return session->programDirectory() + "/graphback.bmp"; }

    Process startNimbrel(const std::string& vendorServer, const std::string& probePage)
    {
        return session->startNimbrel({"NIMBREL_SERVER=" + vendorServer, "NIMBREL_PROBE_URL=" + probePage});
    }

    // The one window captioned Nimbrel, once it shows, if it is the main window (as wide as its client area,
    // a message box is not); empty when there is none, or more than one.
    std::string mainWindow()
    {
        std::vector<std::string> windows;
        waitUntil([&] { return (windows = session->visibleWindows("Nimbrel")).size() == 1; }, patience);
        if (windows.size() != 1) return {};
        const auto g = session->geometry(windows[0]);
        return g && g->width == clientWidth() && g->height > clientHeight() ? windows[0] : std::string();
    }

    void clickExit(const std::string& window)
    {
        const auto g = session->geometry(window);
        ASSERT_TRUE(g.has_value());
        const int menuBar = g->height - clientHeight();
        const Spot exit = centreOf("cmdExit");
        ASSERT_TRUE(session->click(window, exit.x, menuBar + exit.y));
    }

    std::unique_ptr<DesktopSession> session;
};

TEST_F(ErrorReportOnTheDesktop, AGraphBackgroundThatIsNoPictureIsReportedAfterAProbeAndLeftAsItWas)
{
    LoopbackHttpServer server;
    Process nimbrel = startNimbrel(server.url(), server.url(probePath));

    const std::string reportEnd = "frmMain,initGraph,481,Invalid%20picture";
    const auto isTheReport = [&](const RecordedRequest& r) {
        return r.method == "GET" && r.path == reportPath && endsWith(queryOf(r), reportEnd);
    };
    const bool reported = waitUntil(
        [&] {
            const auto requests = server.requests();
            return std::any_of(requests.begin(), requests.end(), isTheReport);
        },
        patience);
    const std::vector<RecordedRequest> requests = server.requests();
    ASSERT_TRUE(reported) << "no report of the picture reached the server; it received:\n" << described(requests);

    // Each report follows a GET of the probe page of its own.
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (requests[i].path != reportPath) continue;
        ASSERT_GT(i, 0u) << "a report came before any probe:\n" << described(requests);
        EXPECT_TRUE(requests[i - 1].method == "GET" && requests[i - 1].path == probePath)
            << "report " << i << " did not follow a probe:\n"
            << described(requests);
    }

    // The fields in their places: system name, kernel release, no service pack, no browser
    // version, then the place of the error with its number and description.
    const auto report = std::find_if(requests.begin(), requests.end(), isTheReport);
    const SystemIdentity system = OsReleaseVersion().identify();
    ASSERT_FALSE(system.osName.empty());
    EXPECT_EQ(percentDecoded(queryOf(*report)),
              system.osName + "," + system.osVersion + ",,,frmMain,initGraph,481,Invalid picture")
        << report->requestLine;
    EXPECT_EQ(queryOf(*report).find(' '), std::string::npos);

    // The user sees the main window and nothing else: no message about the picture.
    const std::string window = mainWindow();
    ASSERT_FALSE(window.empty()) << "no single window captioned Nimbrel, or not the main one";
    EXPECT_EQ(session->mappedTopLevelWindows(), std::vector<std::string>{window});
    EXPECT_TRUE(nimbrel.running());
    // The user's file is left as it was, not replaced by a fresh grid.
    EXPECT_EQ(fileText(graphBackground()), notAPicture);

    clickExit(window);
    EXPECT_EQ(nimbrel.waitForExit(patience), std::optional<int>(0));
}

TEST_F(ErrorReportOnTheDesktop, WhenTheProbePageCannotBeReachedNoReportIsSent)
{
    LoopbackHttpServer server;
    const std::string unreachable = "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::closedPort()) + probePath;
    Process nimbrel = startNimbrel(server.url(), unreachable);

    const std::string window = mainWindow();
    ASSERT_FALSE(window.empty()) << "no single window captioned Nimbrel, or not the main one";
    // The report would have gone while the window was being prepared; a few more
    // seconds leave room for one the server has yet to read.
    EXPECT_FALSE(waitUntil([&] { return !server.requestsFor(reportPath).empty(); }, 5s))
        << "the server received:\n"
        << described(server.requests());
    EXPECT_EQ(session->mappedTopLevelWindows(), std::vector<std::string>{window});

    clickExit(window);
    EXPECT_EQ(nimbrel.waitForExit(patience), std::optional<int>(0));
}

} // namespace
} // namespace nimbrel::e2e
