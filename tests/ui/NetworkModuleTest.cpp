// The program's network client as main() makes it: loaded from its module at the first request, only when the
// module is the one built with the program, against a real HTTP server on 127.0.0.1.

#include "program/linux/NetworkModule.h"
#include "program/linux/OnDemandProbe.h"
#include "program/linux/OnDemandTransfer.h"

#include "core/system/ConnectivityProbe.h"
#include "core/system/HttpTransfer.h"
#include "platform/linux/Sha256.h"
#include "support/LoopbackHttpServer.h"
#include "support/MinisignTool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace nimbrel::testing {
namespace {

namespace fs = std::filesystem;

// The digest the program records of its module, at its build.
std::string builtDigest() { return sha256Hex(fileBytes(NIMBREL_NETWORK_BUILT)); }

class NetworkModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = (fs::temp_directory_path() / ("nimbrel-module-" + std::to_string(::getpid()))).string();
        fs::create_directories(folder);
        mark = folder + "/planted-code-ran";
        ::setenv("NIMBREL_PLANTED_MARK", mark.c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("NIMBREL_PLANTED_MARK");
        fs::remove_all(folder);
    }

    std::string folder;
    std::string mark;
};

TEST_F(NetworkModuleTest, TheFirstRequestLoadsTheClientAndGetsItsAnswer)
{
    LoopbackHttpServer server;
    server.answer("/nbl.txt", HttpAnswer::ok("6"));
    program::NetworkModule network({NIMBREL_NETWORK_BUILT}, builtDigest());
    program::OnDemandTransfer transfer(network);
    program::OnDemandProbe probe(network, server.url("/"));

    EXPECT_FALSE(transfer.stillExecuting());
    EXPECT_EQ(transfer.responseHeaders(), "") << "no request, no answer";
    EXPECT_TRUE(probe.pageReachable());
    EXPECT_EQ(transfer.openUrlText(server.url("/nbl.txt")), "6");
    EXPECT_NE(transfer.responseHeaders().find("HTTP/1.1 200 OK"), std::string::npos);
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_TRUE(network.available());
}

// A module planted where the program looks first is never opened, so none of its code runs; the module built
// with the program, where it comes next, serves.
TEST_F(NetworkModuleTest, APlantedModuleIsNeverOpened)
{
    LoopbackHttpServer server;
    server.answer("/nbl.txt", HttpAnswer::ok("6"));
    const std::string planted = folder + "/libnimbrel_network.so";
    fs::copy_file(NIMBREL_NETWORK_PLANTED, planted);

    program::NetworkModule alone({planted}, builtDigest());
    EXPECT_FALSE(alone.available());
    EXPECT_EQ(alone.makeTransfer(), nullptr);
    program::NetworkModule network({planted, NIMBREL_NETWORK_BUILT}, builtDigest());
    const auto transfer = network.makeTransfer();
    ASSERT_NE(transfer, nullptr);
    EXPECT_EQ(transfer->openUrlText(server.url("/nbl.txt")), "6");
    EXPECT_FALSE(fs::exists(mark)) << "the planted module's constructor ran";
}

// One byte more (a module of another build, or one patched) is another module.
TEST_F(NetworkModuleTest, AModuleThatDiffersByOneByteIsNotLoaded)
{
    const std::string changed = folder + "/libnimbrel_network.so";
    writeBytes(changed, fileBytes(NIMBREL_NETWORK_BUILT) + "x");
    program::NetworkModule network({changed}, builtDigest());
    EXPECT_FALSE(network.available());
    EXPECT_EQ(network.makeProbe("http://127.0.0.1:1/"), nullptr);
}

} // namespace
} // namespace nimbrel::testing
