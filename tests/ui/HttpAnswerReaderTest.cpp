// HTTP/1.1 answers as they come off a connection, in pieces of every size: the head, and a body that is sized,
// chunked or runs to the end of the connection.

#include "program/linux/network/HttpAnswerReader.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbrel::testing {
namespace {

using program::HttpAnswerReader;

struct Read {
    std::string body;
    bool accepted = true;
    bool complete = false;
    int status = 0;
    std::string head;
};

// The answer fed in pieces of the size given, the connection ended after it when ended.
Read readInPieces(const std::string& answer, std::size_t piece, bool ended = false)
{
    Read read;
    HttpAnswerReader reader([&read](const char* bytes, std::size_t size) {
        read.body.append(bytes, size);
        return true;
    });
    for (std::size_t at = 0; at < answer.size() && read.accepted; at += piece)
        read.accepted = reader.feed(answer.data() + at, std::min(piece, answer.size() - at));
    if (ended) reader.connectionEnded();
    read.complete = reader.complete();
    read.status = reader.status();
    read.head = reader.head();
    return read;
}

TEST(HttpAnswerReader, ASizedBodyInAnyPiecesIsTheBodyAndNoMore)
{
    const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\ncontent-length: 5\r\n\r\n6\r\nabextra";
    for (const std::size_t piece : {1u, 2u, 7u, 100u}) {
        const Read read = readInPieces(answer, piece);
        EXPECT_TRUE(read.complete) << piece;
        EXPECT_EQ(read.body, "6\r\nab") << piece;
        EXPECT_EQ(read.status, 200);
        EXPECT_EQ(read.head, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\ncontent-length: 5");
    }
}

TEST(HttpAnswerReader, AChunkedBodyIsJoinedAndEndsAtItsLastChunk)
{
    const std::string answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                               "3\r\nNim\r\n4;note=x\r\nbrel\r\n0\r\nX-Trailer: t\r\n\r\n";
    for (const std::size_t piece : {1u, 3u, 1000u}) {
        const Read read = readInPieces(answer, piece);
        EXPECT_TRUE(read.complete) << piece;
        EXPECT_EQ(read.body, "Nimbrel") << piece;
    }
}

TEST(HttpAnswerReader, ABodyWithoutLengthIsWholeOnlyWhenTheConnectionEnds)
{
    const std::string answer = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n6";
    EXPECT_FALSE(readInPieces(answer, 4).complete);
    const Read ended = readInPieces(answer, 4, true);
    EXPECT_TRUE(ended.complete);
    EXPECT_EQ(ended.body, "6");
}

TEST(HttpAnswerReader, AnAnswerCutShortIsNotWhole)
{
    EXPECT_FALSE(readInPieces("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n12345", 3, true).complete);
    EXPECT_FALSE(readInPieces("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n12", 3, true).complete);
    EXPECT_FALSE(readInPieces("HTTP/1.1 200 OK\r\nContent-", 3, true).complete);
}

// What a server may not send: the reading stops, and the answer is not whole.
TEST(HttpAnswerReader, MalformedAnswersAreRefused)
{
    for (const std::string& answer : {
             std::string("ICY 200 OK\r\n\r\n"),
             std::string("HTTP/1.1 2000 OK\r\n\r\n"),
             std::string("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n12345"),
             std::string("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\n"),
             std::string("HTTP/1.1 200 OK\r\nNo colon here\r\n\r\n"),
             std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"),
             // A chunk size beyond 2^63: no number a body could have.
             std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1FFFFFFFFFFFFFFFFF\r\n"),
             std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nabX\r\n"),
         }) {
        const Read read = readInPieces(answer, 5, true);
        EXPECT_FALSE(read.accepted && read.complete) << answer;
    }
}

// The reader holds a head or a line only up to its bound, however long the server makes it.
TEST(HttpAnswerReader, AHeadOrAChunkLineWithoutEndIsRefusedAtItsBound)
{
    const std::string endlessHead = "HTTP/1.1 200 OK\r\nX-Long: " + std::string(200000, 'h');
    EXPECT_FALSE(readInPieces(endlessHead, 4096).accepted);
    const std::string endlessLine =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5" + std::string(20000, ' ');
    EXPECT_FALSE(readInPieces(endlessLine, 4096).accepted);
}

TEST(HttpAnswerReader, AHugeAnnouncedChunkIsReadAsItComes)
{
    const std::string answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n7FFFFFFFFFFFFFFF\r\n" +
                               std::string(100000, 'n');
    const Read read = readInPieces(answer, 8192);
    EXPECT_TRUE(read.accepted);
    EXPECT_FALSE(read.complete);
    EXPECT_EQ(read.body.size(), 100000u);
}

TEST(HttpAnswerReader, AnInterimAnswerIsFollowedByTheRealOne)
{
    const Read read = readInPieces("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", 6);
    EXPECT_TRUE(read.complete);
    EXPECT_EQ(read.status, 404);
    EXPECT_EQ(read.head, "HTTP/1.1 404 Not Found\r\nContent-Length: 0");
}

TEST(HttpAnswerReader, ABodyRefusedByItsTakerStopsTheReading)
{
    HttpAnswerReader reader([](const char*, std::size_t) { return false; });
    const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc";
    EXPECT_FALSE(reader.feed(answer.data(), answer.size()));
    EXPECT_TRUE(reader.failed());
}

} // namespace
} // namespace nimbrel::testing
