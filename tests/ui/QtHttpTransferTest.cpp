// The shared transfer object and the connectivity probe against a real HTTP
// server on 127.0.0.1.

#include "program/linux/network/QtHttpTransfer.h"
#include "program/linux/network/QtConnectivityProbe.h"

#include "support/LoopbackHttpServer.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace nimbrel::testing {
namespace {

using namespace std::chrono_literals;

// Runs the step once, from an event handled during a wait, as soon as the
// server has seen this many requests.
std::unique_ptr<QTimer> onceServerHas(const LoopbackHttpServer& server, std::size_t count, std::function<void()> step)
{
    auto timer = std::make_unique<QTimer>();
    QTimer* const raw = timer.get();
    raw->setInterval(5);
    QObject::connect(raw, &QTimer::timeout, raw, [raw, &server, count, step = std::move(step)] {
        if (server.requests().size() < count) return;
        raw->stop();
        step();
    });
    raw->start();
    return timer;
}

// The caller's side of a take-over: cancel, then let events run until the
// transfer has let go (bounded, so a transfer that never lets go fails the test).
bool cancelAndWait(program::QtHttpTransfer& transfer)
{
    transfer.cancel();
    for (int i = 0; i < 10000 && transfer.stillExecuting(); ++i)
        QCoreApplication::processEvents();
    return !transfer.stillExecuting();
}

// The request says which program asks, as the server's log will show it.
bool namesTheProgram(const RecordedRequest& request)
{
    const auto& lines = request.headerLines;
    return std::find(lines.begin(), lines.end(), "User-Agent: Nimbrel") != lines.end();
}

TEST(QtHttpTransfer, ReturnsTheBodyOfThePage)
{
    LoopbackHttpServer server;
    server.answer("/news.txt", HttpAnswer::ok("Version 5.0 is out.\r\nSee the web site.\r\n"));
    program::QtHttpTransfer transfer;

    EXPECT_EQ(transfer.openUrlText(server.url("/news.txt")), "Version 5.0 is out.\r\nSee the web site.\r\n");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET /news.txt HTTP/1.1");
    EXPECT_TRUE(namesTheProgram(requests[0]));
    EXPECT_FALSE(transfer.stillExecuting());
}

TEST(QtHttpTransfer, ResponseHeadersAreTheServersLinesJoinedByCrLf)
{
    LoopbackHttpServer server;
    server.answer("/news.txt", HttpAnswer::ok("ok", {"Content-Type: text/plain", "X-Nimbrel-Note: one two"}));
    program::QtHttpTransfer transfer;

    transfer.openUrlText(server.url("/news.txt"));

    const std::string headers = transfer.responseHeaders();
    EXPECT_EQ(headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << headers;
    EXPECT_NE(headers.find("\r\nContent-Type: text/plain\r\nX-Nimbrel-Note: one two\r\nContent-Length: 2\r\n"
                           "Connection: close"),
              std::string::npos)
        << headers;
}

TEST(QtHttpTransfer, AnErrorStatusGivesEmptyText)
{
    LoopbackHttpServer server;
    server.answer("/missing.txt", HttpAnswer::withStatus(404, "Not Found", "<h1>Not Found</h1>"));
    program::QtHttpTransfer transfer;

    EXPECT_EQ(transfer.openUrlText(server.url("/missing.txt")), "");
    EXPECT_EQ(transfer.responseHeaders().rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u) << transfer.responseHeaders();
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(QtHttpTransfer, ARefusedConnectionGivesEmptyTextAndNoHeaders)
{
    program::QtHttpTransfer transfer;
    const std::string url = "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::closedPort()) + "/news.txt";

    EXPECT_EQ(transfer.openUrlText(url), "");
    EXPECT_EQ(transfer.responseHeaders(), "");
    EXPECT_FALSE(transfer.stillExecuting());
}

TEST(QtHttpTransfer, AServerThatNeverAnswersGivesEmptyTextOnceTheTimeOutPasses)
{
    LoopbackHttpServer server;
    server.answer("/news.txt", HttpAnswer::stall());
    program::QtHttpTransfer transfer; // the program's own time-out

    EXPECT_EQ(transfer.openUrlText(server.url("/news.txt")), "");

    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_FALSE(transfer.stillExecuting());
}

TEST(QtHttpTransfer, ABodyThatKeepsFlowingIsNotCutOffByTheTimeOut)
{
    LoopbackHttpServer server;
    const std::string body(4000, 'p');
    server.answer("/nblupdate.exe", HttpAnswer::trickle(body, 8, std::chrono::milliseconds(150)));
    program::QtHttpTransfer transfer(std::chrono::milliseconds(400)); // the whole body takes three times that

    EXPECT_EQ(transfer.openUrlText(server.url("/nblupdate.exe")), body);
}

TEST(QtHttpTransfer, ACancelDuringTheWaitEndsTheCallWithEmptyText)
{
    LoopbackHttpServer server;
    server.answer("/news.txt", HttpAnswer::held("too late"));
    program::QtHttpTransfer transfer(30s);
    bool executingDuringWait = false;
    const auto step = onceServerHas(server, 1, [&] {
        executingDuringWait = transfer.stillExecuting();
        transfer.cancel();
        // The answer comes after all; the cancelled call must not take it.
        server.release();
    });

    EXPECT_EQ(transfer.openUrlText(server.url("/news.txt")), "");

    EXPECT_TRUE(executingDuringWait);
    EXPECT_FALSE(transfer.stillExecuting());
}

TEST(QtHttpTransfer, ACallFromInsideTheWaitCancelsTheOuterOneAndGetsItsOwnPage)
{
    LoopbackHttpServer server;
    server.answer("/slow.txt", HttpAnswer::held("outer page"));
    server.answer("/report", HttpAnswer::ok("inner page", {"X-Nimbrel-Note: inner"}));
    program::QtHttpTransfer transfer(30s);
    bool letGo = false;
    std::string inner;
    const auto step = onceServerHas(server, 1, [&] {
        letGo = cancelAndWait(transfer);
        inner = transfer.openUrlText(server.url("/report"));
        server.release();
    });

    const std::string outer = transfer.openUrlText(server.url("/slow.txt"));

    EXPECT_TRUE(letGo);
    EXPECT_EQ(inner, "inner page");
    EXPECT_EQ(outer, "");
    EXPECT_NE(transfer.responseHeaders().find("X-Nimbrel-Note: inner"), std::string::npos)
        << "the cancelled call leaves the headers of the inner one";
    EXPECT_FALSE(transfer.stillExecuting());
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[1].target, "/report");
}

TEST(QtHttpTransfer, ACallFromInsideTheWaitWithoutCancellingTakesTheTransferOver)
{
    LoopbackHttpServer server;
    server.answer("/slow.txt", HttpAnswer::held("outer page"));
    server.answer("/report", HttpAnswer::ok("inner page"));
    program::QtHttpTransfer transfer(30s);
    std::string inner;
    const auto step = onceServerHas(server, 1, [&] {
        inner = transfer.openUrlText(server.url("/report"));
        server.release();
    });

    const std::string outer = transfer.openUrlText(server.url("/slow.txt"));

    EXPECT_EQ(inner, "inner page");
    EXPECT_EQ(outer, "");
    EXPECT_FALSE(transfer.stillExecuting());
}

TEST(QtHttpTransfer, TheTransferServesAgainAfterACancel)
{
    LoopbackHttpServer server;
    server.answer("/slow.txt", HttpAnswer::stall());
    server.answer("/news.txt", HttpAnswer::ok("news"));
    program::QtHttpTransfer transfer(30s);
    const auto step = onceServerHas(server, 1, [&] { transfer.cancel(); });

    EXPECT_EQ(transfer.openUrlText(server.url("/slow.txt")), "");
    EXPECT_EQ(transfer.openUrlText(server.url("/news.txt")), "news");
}

TEST(QtHttpTransfer, BytesComeBackExactlyNulsIncluded)
{
    std::string picture;
    for (int round = 0; round < 3; ++round) {
        for (int byte = 0; byte < 256; ++byte)
            picture.push_back(static_cast<char>(byte));
    }
    LoopbackHttpServer server;
    server.answer("/graphback.bmp", HttpAnswer::ok(picture, {"Content-Type: application/octet-stream"}));
    program::QtHttpTransfer transfer;

    const std::vector<std::uint8_t> bytes = transfer.openUrlBytes(server.url("/graphback.bmp"));
    const std::string text = transfer.openUrlText(server.url("/graphback.bmp"));

    EXPECT_EQ(bytes, std::vector<std::uint8_t>(picture.begin(), picture.end()));
    EXPECT_EQ(text, picture);
}

TEST(QtHttpTransfer, AnErrorStatusGivesNoBytes)
{
    LoopbackHttpServer server;
    server.answer("/graphback.bmp", HttpAnswer::withStatus(500, "Internal Server Error", "oops"));
    program::QtHttpTransfer transfer;

    EXPECT_TRUE(transfer.openUrlBytes(server.url("/graphback.bmp")).empty());
}

// What a bounded transfer handed on, piece by piece.
struct Received {
    std::string body;
    int pieces = 0;
    BodySink sink()
    {
        return [this](const std::uint8_t* bytes, std::size_t size) {
            body.append(reinterpret_cast<const char*>(bytes), size);
            ++pieces;
            return true;
        };
    }
};

TEST(QtHttpTransfer, ABoundedTransferHandsTheBodyOnAndKeepsTheHeaders)
{
    LoopbackHttpServer server;
    const std::string body(300000, 'b');
    server.answer("/nblupdate.exe", HttpAnswer::ok(body, {"content-length: 300000"}));
    program::QtHttpTransfer transfer;
    Received received;

    EXPECT_TRUE(transfer.openUrlInto(server.url("/nblupdate.exe"), {1000000, 30s}, received.sink()));
    EXPECT_EQ(received.body, body);
    EXPECT_NE(transfer.responseHeaders().find("\r\ncontent-length: 300000"), std::string::npos)
        << "the server's own letter case";
}

TEST(QtHttpTransfer, AnEndlessBodyIsCutOffAtTheSizeLimit)
{
    LoopbackHttpServer server;
    // 64 KB pieces without a length, up to 4 GB: the client has to stop it.
    server.answer("/nblupdate.exe", HttpAnswer::endless(std::string(65536, 'e'), 65536));
    program::QtHttpTransfer transfer;
    Received received;

    EXPECT_FALSE(transfer.openUrlInto(server.url("/nblupdate.exe"), {1000000, 60s}, received.sink()));
    EXPECT_LE(received.body.size(), 1000000u);
    EXPECT_FALSE(transfer.stillExecuting());
}

TEST(QtHttpTransfer, ALengthAnnouncedBeyondTheLimitIsRefused)
{
    LoopbackHttpServer server;
    server.answer("/nbl.txt", HttpAnswer::ok(std::string(10000, '6')));
    program::QtHttpTransfer transfer;
    Received received;

    EXPECT_FALSE(transfer.openUrlInto(server.url("/nbl.txt"), {4096, 30s}, received.sink()));
    EXPECT_LE(received.body.size(), 4096u);
}

TEST(QtHttpTransfer, AServerThatTricklesIsCutOffAtTheOverallTime)
{
    LoopbackHttpServer server;
    // A piece every 100 ms keeps the silence time-out from ever passing; the whole would take 6 s.
    server.answer("/nblupdate.exe", HttpAnswer::trickle(std::string(6000, 't'), 60, 100ms));
    program::QtHttpTransfer transfer;
    Received received;

    EXPECT_FALSE(transfer.openUrlInto(server.url("/nblupdate.exe"), {1000000, 700ms}, received.sink()));
    EXPECT_GT(received.pieces, 0) << "the body was flowing";
    EXPECT_LT(received.body.size(), 6000u);
}

TEST(QtHttpTransfer, ASinkThatRefusesAPieceEndsTheTransfer)
{
    LoopbackHttpServer server;
    server.answer("/nblupdate.exe", HttpAnswer::endless(std::string(65536, 'e'), 65536));
    program::QtHttpTransfer transfer;
    int pieces = 0;

    EXPECT_FALSE(transfer.openUrlInto(server.url("/nblupdate.exe"), {1ull << 40, 60s},
                                      [&pieces](const std::uint8_t*, std::size_t) { return ++pieces < 3; }));
    EXPECT_EQ(pieces, 3);
}

TEST(QtHttpTransfer, ACancelEndsABoundedTransferAtOnce)
{
    LoopbackHttpServer server;
    server.answer("/nblupdate.exe", HttpAnswer::stall());
    program::QtHttpTransfer transfer(30s);
    Received received;
    const auto step = onceServerHas(server, 1, [&] { transfer.cancel(); });

    EXPECT_FALSE(transfer.openUrlInto(server.url("/nblupdate.exe"), {1000000, 60s}, received.sink()));
    EXPECT_EQ(received.body, "");
    EXPECT_FALSE(transfer.stillExecuting());
}

TEST(QtConnectivityProbe, AnyHttpAnswerMeansTheInternetIsThere)
{
    struct Case {
        HttpAnswer answer;
        const char* name;
    };
    const Case cases[] = {
        {HttpAnswer::ok("<html></html>"), "200"},
        {HttpAnswer::withStatus(404, "Not Found"), "404"},
        {HttpAnswer::withStatus(500, "Internal Server Error"), "500"},
        {[] {
             HttpAnswer moved = HttpAnswer::withStatus(302, "Found");
             moved.headerLines = {"Location: http://127.0.0.1:" + std::to_string(LoopbackHttpServer::closedPort()) +
                                  "/"};
             return moved;
         }(),
         "302 to nowhere"},
    };
    for (const Case& c : cases) {
        LoopbackHttpServer server;
        server.answer("/", c.answer);
        program::QtConnectivityProbe probe(server.url("/"));

        EXPECT_TRUE(probe.pageReachable()) << c.name;
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), 1u) << c.name;
        EXPECT_EQ(requests[0].requestLine, "GET / HTTP/1.1") << c.name;
        EXPECT_TRUE(namesTheProgram(requests[0])) << c.name;
    }
}

TEST(QtConnectivityProbe, NoServerMeansNoInternet)
{
    program::QtConnectivityProbe probe("http://127.0.0.1:" + std::to_string(LoopbackHttpServer::closedPort()) + "/");

    EXPECT_FALSE(probe.pageReachable());
}

TEST(QtConnectivityProbe, AServerThatNeverAnswersMeansNoInternet)
{
    LoopbackHttpServer server;
    server.answer("/", HttpAnswer::stall());
    program::QtConnectivityProbe probe(server.url("/"), 1s);

    EXPECT_FALSE(probe.pageReachable());
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(QtConnectivityProbe, AConnectionClosedWithoutAWordMeansNoInternet)
{
    LoopbackHttpServer server;
    server.answer("/", HttpAnswer::close());
    program::QtConnectivityProbe probe(server.url("/"));

    EXPECT_FALSE(probe.pageReachable());
    EXPECT_GE(server.requests().size(), 1u);
}

TEST(QtConnectivityProbe, LeavesTheSharedTransferAlone)
{
    LoopbackHttpServer server;
    server.answer("/news.txt", HttpAnswer::held("news"));
    server.answer("/", HttpAnswer::ok("<html></html>"));
    program::QtHttpTransfer transfer(30s);
    program::QtConnectivityProbe probe(server.url("/"));
    bool reachable = false;
    bool transferBusy = false;
    const auto step = onceServerHas(server, 1, [&] {
        reachable = probe.pageReachable();
        transferBusy = transfer.stillExecuting();
        server.release();
    });

    EXPECT_EQ(transfer.openUrlText(server.url("/news.txt")), "news");

    EXPECT_TRUE(reachable);
    EXPECT_TRUE(transferBusy);
}

} // namespace
} // namespace nimbrel::testing
