// The program's network client as main() makes it: loaded from its module at
// the first request, against a real HTTP server on 127.0.0.1.

#include "ui/qt/NetworkModule.h"
#include "ui/qt/OnDemandProbe.h"
#include "ui/qt/OnDemandTransfer.h"

#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

namespace nimbrel::testing {
namespace {

TEST(NetworkModule, TheFirstRequestLoadsTheClientAndGetsItsAnswer)
{
    LoopbackHttpServer server;
    server.answer("/nbl.txt", HttpAnswer::ok("6"));
    view::NetworkModule network;
    view::OnDemandTransfer transfer(network);
    view::OnDemandProbe probe(network, server.url("/"));

    EXPECT_FALSE(transfer.stillExecuting());
    EXPECT_EQ(transfer.responseHeaders(), "") << "no request, no answer";
    EXPECT_TRUE(probe.pageReachable());
    EXPECT_EQ(transfer.openUrlText(server.url("/nbl.txt")), "6");
    EXPECT_NE(transfer.responseHeaders().find("HTTP/1.1 200 OK"), std::string::npos);
    EXPECT_EQ(server.requests().size(), 2u);
}

} // namespace
} // namespace nimbrel::testing
