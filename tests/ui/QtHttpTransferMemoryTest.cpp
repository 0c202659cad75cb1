// What a bounded download costs in memory: a server on 127.0.0.1 that sends without end, each download made
// by nimbrel_download_probe, a process of its own whose peak resident memory (VmHWM) is read before and after.

#include "support/LoopbackHttpServer.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace nimbrel::testing {
namespace {

// What a download may add to the peak: the body goes to the file as it comes, so no more than the transfer's
// read buffer, the pieces on their way to the file, and what the allocator keeps, whatever the limit.
constexpr long marginKiB = 6 * 1024;

struct Download {
    long before = 0;
    long after = 0;
    bool whole = false;
    unsigned long long received = 0;
    long growthKiB() const { return after - before; }
};

Download downloadInAProcess(const LoopbackHttpServer& server, const std::string& path, unsigned long long limit)
{
    QTemporaryDir folder;
    QProcess probe;
    // Under AddressSanitizer freed memory is held back in quarantine and would count as the download's: the
    // probe's allocator gives it back at once, as the program's does.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString sanitizer = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       (sanitizer.isEmpty() ? QString() : sanitizer + u':') +
                           QStringLiteral("quarantine_size_mb=0:thread_local_quarantine_size_kb=0"));
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(NIMBREL_DOWNLOAD_PROBE),
                {QString::fromStdString(server.url("/warm-up")), QString::fromStdString(server.url(path)),
                 QString::number(limit), folder.filePath(QStringLiteral("package"))});
    EXPECT_TRUE(probe.waitForFinished(90000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    std::istringstream output(probe.readAllStandardOutput().toStdString());
    std::map<std::string, long long> values;
    std::string name;
    long long value = 0;
    while (output >> name >> value) values[name] = value;
    Download download;
    download.before = static_cast<long>(values["before"]);
    download.after = static_cast<long>(values["after"]);
    download.whole = values["whole"] != 0;
    download.received = static_cast<unsigned long long>(values["received"]);
    EXPECT_GT(download.before, 0);
    return download;
}

// A megabyte of body, up to two gigabytes of it: far more than any limit lets through.
const std::string megabyte(1024 * 1024, 'n');
constexpr int manyPieces = 2048;

TEST(QtHttpTransferMemory, AChunkedBodyThatNeverEndsCostsNoMoreThanTheMargin)
{
    LoopbackHttpServer server;
    server.answer("/nblupdate.exe", HttpAnswer::endlessChunk("7FFFFFFFFFFFFFFF", megabyte, manyPieces));
    const unsigned long long limit = 16ull * 1024 * 1024;

    const Download download = downloadInAProcess(server, "/nblupdate.exe", limit);

    EXPECT_FALSE(download.whole);
    EXPECT_LE(download.received, limit);
    EXPECT_LE(download.growthKiB(), marginKiB)
        << "peak " << download.after << " KiB against " << download.before << " KiB before";
}

TEST(QtHttpTransferMemory, ABodyWithoutLengthThatNeverEndsCostsNoMoreThanTheMargin)
{
    LoopbackHttpServer server;
    server.answer("/nblupdate.exe", HttpAnswer::endless(megabyte, manyPieces));
    const unsigned long long limit = 16ull * 1024 * 1024;

    const Download download = downloadInAProcess(server, "/nblupdate.exe", limit);

    EXPECT_FALSE(download.whole);
    EXPECT_LE(download.growthKiB(), marginKiB)
        << "peak " << download.after << " KiB against " << download.before << " KiB before";
}

TEST(QtHttpTransferMemory, ASmallFileServedWithoutEndCostsNoMoreThanTheMargin)
{
    LoopbackHttpServer server;
    server.answer("/nbl.txt", HttpAnswer::endlessChunk("7FFFFFFFFFFFFFFF", megabyte, manyPieces));

    const Download download = downloadInAProcess(server, "/nbl.txt", 4096);

    EXPECT_FALSE(download.whole);
    EXPECT_LE(download.received, 4096u);
    EXPECT_LE(download.growthKiB(), marginKiB)
        << "peak " << download.after << " KiB against " << download.before << " KiB before";
}

} // namespace
} // namespace nimbrel::testing
