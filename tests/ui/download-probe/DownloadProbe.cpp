// One bounded download through the program's transfer object, in a process of its own so that its peak memory
// is the download's: nimbrel_download_probe <warm-up url> <url> <byte limit> <file>. The body goes to the file
// as the update writes a package. Prints the peak resident memory (VmHWM, KiB) after a small warm-up request
// (the network thread and its libraries in place) and after the download, and whether the download came whole.

#include "program/linux/network/QtHttpTransfer.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: nimbrel_download_probe WARM-UP-URL URL BYTE-LIMIT FILE\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    nimbrel::program::QtHttpTransfer transfer;
    transfer.openUrlText(argv[1]);
    const long before = peakResidentKiB();

    std::FILE* file = std::fopen(argv[4], "wb");
    if (file == nullptr) return 2;
    std::uint64_t received = 0;
    const nimbrel::TransferLimits limits{std::strtoull(argv[3], nullptr, 10), std::chrono::seconds(60)};
    const bool whole = transfer.openUrlInto(argv[2], limits, [&](const std::uint8_t* bytes, std::size_t size) {
        received += size;
        return std::fwrite(bytes, 1, size, file) == size;
    });
    std::fclose(file);
    std::printf("before %ld\nafter %ld\nwhole %d\nreceived %llu\n", before, peakResidentKiB(), whole ? 1 : 0,
                static_cast<unsigned long long>(received));
    return 0;
}
