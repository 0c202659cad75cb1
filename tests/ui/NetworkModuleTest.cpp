// The program's network client as main() makes it: loaded from its module at
// the first request, against a real HTTP server on 127.0.0.1.

#include "ui/qt/NetworkModule.h"
#include "ui/qt/OnDemandProbe.h"
#include "ui/qt/OnDemandTransfer.h"

#include "core/ConnectivityProbe.h"
#include "core/HttpTransfer.h"
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

// A module left from another version (built against another interface) is not used: the program goes on as
// without a network, and takes the right module where it comes next.
TEST(NetworkModule, AModuleOfAnotherVersionIsNotUsed)
{
    LoopbackHttpServer server;
    server.answer("/nbl.txt", HttpAnswer::ok("6"));
    view::NetworkModule other({NIMBREL_NETWORK_OTHER});
    EXPECT_EQ(other.makeTransfer(), nullptr);
    EXPECT_EQ(other.makeProbe(server.url("/")), nullptr);
    view::NetworkModule network({NIMBREL_NETWORK_OTHER, NIMBREL_NETWORK_BUILT});
    const auto transfer = network.makeTransfer();
    ASSERT_NE(transfer, nullptr);
    EXPECT_EQ(transfer->openUrlText(server.url("/nbl.txt")), "6");
    EXPECT_EQ(server.requests().size(), 1u);
}

} // namespace
} // namespace nimbrel::testing
