#include "platform/windows/WinHttpTransfer.h"
#include "platform/windows/WinHttpProbe.h"

#include "WinsockHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace nimbrel {
namespace {

using namespace std::chrono_literals;
using nimbrel::testing::WinsockHttpServer;

TEST(WinHttpTransfer, TheVersionFileComesBackAsTextWithItsHeaders)
{
    WinsockHttpServer server({"HTTP/1.1 200 OK", {"X-Nimbrel: yes"}, "5.1\r\n"});
    WinHttpTransfer transfer;
    EXPECT_EQ(transfer.openUrlText(server.url("/nbl.txt")), "5.1\r\n");
    EXPECT_EQ(server.requestLines(), std::vector<std::string>{"GET /nbl.txt HTTP/1.1"});
    const std::string headers = transfer.responseHeaders();
    EXPECT_TRUE(headers.starts_with("HTTP/1.1 200 OK\r\n")) << headers;
    EXPECT_NE(headers.find("\r\nX-Nimbrel: yes"), std::string::npos) << headers;
    EXPECT_FALSE(headers.ends_with("\r\n")) << headers;
    EXPECT_FALSE(transfer.stillExecuting());
}

// An error report's query goes as the reporter encoded it, commas and all.
TEST(WinHttpTransfer, AnEncodedQueryIsSentAsItIs)
{
    WinsockHttpServer server({"HTTP/1.1 200 OK", {}, ""});
    WinHttpTransfer transfer;
    transfer.openUrlText(server.url("/error-reporting/error-msg.php?,5.1.2600,,frmMain%2Cload,-5,a%20b"));
    EXPECT_EQ(server.requestLines(),
              std::vector<std::string>{"GET /error-reporting/error-msg.php?,5.1.2600,,frmMain%2Cload,-5,a%20b HTTP/1.1"});
}

TEST(WinHttpTransfer, AProgramComesBackByteForByte)
{
    const std::string program("MZ\x90\0\x03\0\0\0\xff\xfe", 10);
    WinsockHttpServer server({"HTTP/1.1 200 OK", {}, program});
    WinHttpTransfer transfer;
    EXPECT_EQ(transfer.openUrlBytes(server.url("/nblupdate.exe")), std::vector<std::uint8_t>(program.begin(), program.end()));
}

TEST(WinHttpTransfer, AMissingPageGivesNothingButItsHeaders)
{
    WinsockHttpServer server({"HTTP/1.1 404 Not Found", {}, "no such page"});
    WinHttpTransfer transfer;
    EXPECT_EQ(transfer.openUrlText(server.url("/nbl.txt")), "");
    EXPECT_TRUE(transfer.responseHeaders().starts_with("HTTP/1.1 404 Not Found")) << transfer.responseHeaders();
}

TEST(WinHttpTransfer, ASilentServerIsGivenUpAfterTheTimeOut)
{
    WinsockHttpServer server({"HTTP/1.1 200 OK", {}, "late", 3000ms});
    WinHttpTransfer transfer(500ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(transfer.openUrlText(server.url("/nbl.txt")), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
    EXPECT_EQ(transfer.responseHeaders(), "");
}

// A download that keeps flowing is not cut off: the time-out counts silence, not the whole transfer.
TEST(WinHttpTransfer, ADownloadThatKeepsFlowingOutlastsTheTimeOut)
{
    const std::string program(4000, 'x');
    WinsockHttpServer server({"HTTP/1.1 200 OK", {}, program, 0ms, 8, 150ms});
    WinHttpTransfer transfer(500ms);
    EXPECT_EQ(transfer.openUrlBytes(server.url("/nblupdate.exe")).size(), program.size());
}

// Starts a transfer on a thread of its own, cancels it once the server has the request, and gives back what the
// cancelled call returned: the call has ended by then, and the object is free for the next transfer.
std::string cancelledTransfer(WinsockHttpServer& server)
{
    WinHttpTransfer transfer(60000ms);
    std::string body = "unset";
    std::thread caller([&] { body = transfer.openUrlText(server.url("/nblupdate.exe")); });
    for (int waited = 0; waited < 200 && server.requestLines().empty(); ++waited) std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(transfer.stillExecuting());
    transfer.cancel();
    EXPECT_FALSE(transfer.stillExecuting());
    caller.join();
    EXPECT_EQ(transfer.responseHeaders(), "");
    return body;
}

TEST(WinHttpTransfer, ACancelEndsTheWaitForAnAnswerAtOnce)
{
    WinsockHttpServer server({"HTTP/1.1 200 OK", {}, "late", 20000ms});
    EXPECT_EQ(cancelledTransfer(server), "");
    EXPECT_EQ(server.answersBegun(), 0) << "the cancelled call waited for the answer";
}

TEST(WinHttpTransfer, ACancelEndsADownloadThatIsStillFlowing)
{
    WinsockHttpServer server({"HTTP/1.1 200 OK", {}, std::string(100, 'x'), 0ms, 100, 100ms});
    EXPECT_EQ(cancelledTransfer(server), "");
    EXPECT_EQ(server.answersSent(), 0) << "the cancelled call waited for the whole body";
}

// On the thread of the windows: a message that arrives while the transfer waits for a silent server is handled
// then, and the Cancel it carries ends the transfer.
TEST(WinHttpTransfer, MessagesAreHandledWhileItWaitsAndACancelAmongThemEndsIt)
{
    WinsockHttpServer server({"HTTP/1.1 200 OK", {}, "late", 20000ms});
    bool cancelled = false;
    WinHttpTransfer* running = nullptr;
    WinHttpTransfer transfer(60000ms, [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_APP && !server.requestLines().empty()) {
                running->cancel();
                cancelled = true;
            } else if (message.message == WM_APP) {
                PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0); // again once the server has the request
                return;
            }
        }
    });
    running = &transfer;
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    EXPECT_EQ(transfer.openUrlText(server.url("/nbl.txt")), "");
    EXPECT_TRUE(cancelled) << "the message waited until the server gave up";
    EXPECT_FALSE(transfer.stillExecuting());
    EXPECT_EQ(server.answersBegun(), 0);
}

TEST(WinHttpProbe, AnyAnswerMeansThePageIsReachable)
{
    WinsockHttpServer server({"HTTP/1.1 302 Found", {"Location: http://192.0.2.1/"}, ""});
    EXPECT_TRUE(WinHttpProbe(server.url("/")).pageReachable());
    EXPECT_EQ(server.requestLines().size(), 1u) << "the redirect is not followed";
}

TEST(WinHttpProbe, NoServerMeansOffline)
{
    std::string url;
    {
        WinsockHttpServer gone({});
        url = gone.url("/");
    }
    EXPECT_FALSE(WinHttpProbe(url, 2000ms).pageReachable());
}

} // namespace
} // namespace nimbrel
