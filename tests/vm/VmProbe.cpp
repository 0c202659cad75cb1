// Runs inside the test machine as its init's program, as root, in a group of cgroup2 beside the group of a
// program that touches its memory, both under one parent group as a user's programs are under user@UID.service
// (the init makes them: /user/nimbrel and /user/hog); makes passes of a release with the kernel's reclaim and with
// the guarded block, as Nimbrel makes them, and prints what each did. Statically linked: the machine has
// nothing but busybox.
//   nimbrel_vm_probe check   a 100 MB release through memory.reclaim makes at least 90 MB more available and
//                            writes no block; the block's pass of the same size beside it; with the program
//                            gone and swap off, the kernel's refusal (EAGAIN) reads as "no more"
//   nimbrel_vm_probe bench   100 MB and 400 MB releases by each method: time, bytes written, their ratio
// The exit code is 0 when every check held.

#include "platform/linux/GuardedMemoryBlock.h"
#include "platform/linux/KernelReclaim.h"
#include "platform/linux/ProcMeminfoStatus.h"
#include "platform/linux/ReclaimOrBlock.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/swap.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace nimbrel;

constexpr std::uint64_t MiB = 1024 * 1024;
const std::string hogGroup = "/sys/fs/cgroup/user/hog";
const std::string ownGroup = "/sys/fs/cgroup/user/nimbrel";

// A field of a "key value" file such as /proc/vmstat.
std::uint64_t field(const std::string& file, const std::string& key)
{
    std::ifstream in(file);
    std::string name;
    std::uint64_t value = 0;
    while (in >> name) {
        if (name == key || name == key + ":") {
            in >> value;
            return value;
        }
        in.ignore(4096, '\n');
    }
    return 0;
}

bool writeFile(const std::string& file, const std::string& text)
{
    std::ofstream out(file);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

// A program of `bytes` of touched memory in its own group, which touches it all again on SIGUSR1 (bringing
// back from swap what a release sent there) and says so on its pipe.
class Hog {
public:
    explicit Hog(std::uint64_t bytes)
    {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            sigset_t usr1;
            sigemptyset(&usr1);
            sigaddset(&usr1, SIGUSR1);
            sigprocmask(SIG_BLOCK, &usr1, nullptr);
            writeFile(hogGroup + "/cgroup.procs", std::to_string(::getpid()));
            auto* memory = static_cast<volatile unsigned char*>(
                ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
            for (unsigned round = 1;; ++round) {
                for (std::uint64_t at = 0; at < bytes; at += 4096) memory[at] = static_cast<unsigned char>(round + at);
                if (::write(ready[1], "r", 1) != 1) ::_exit(1);
                int signal = 0;
                sigwait(&usr1, &signal);
            }
        }
        ::close(ready[1]);
        ready_ = ready[0];
        waitReady();
    }
    ~Hog() { stop(); }
    // Ends it; its memory and its pages in swap are given back.
    void stop()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    // Touches everything again; returns once it has.
    void touchAgain()
    {
        ::kill(pid_, SIGUSR1);
        waitReady();
    }
    bool started() const { return pid_ > 0; }

private:
    void waitReady()
    {
        char c = 0;
        if (::read(ready_, &c, 1) != 1) pid_ = -1;
    }
    pid_t pid_ = -1;
    int ready_ = -1;
};

struct PassResult {
    PassMethod method = PassMethod::Block;
    BlockOutcome outcome = BlockOutcome::Written;
    double seconds = 0;
    double riseMB = 0;          // available memory after less before
    double blockMB = 0;         // what the pass wrote of a block
    double swapWrittenMB = 0;   // what the kernel wrote to swap meanwhile
    double peakMB = 0;          // the most memory this program's group (it and any holders) has used so far
    std::uint64_t askedMB = 0;  // the size of the pass's request
};

// One pass, as the engine makes one, for a release of amountMB.
PassResult release(MemoryBlock& passes, ProcMeminfoStatus& status, std::uint64_t amountMB, bool blockOnly)
{
    // Settle: what the hog touched last is in memory and the figures stand still.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    PassResult result;
    const std::uint64_t before = status.read().availPhys;
    const std::uint64_t swappedBefore = field("/proc/vmstat", "pswpout");
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<RunningPass> pass = passes.startPass({before + amountMB * MiB, false, blockOnly});
    PassProgress progress = pass->progress();
    while (!progress.finished) progress = pass->progressWithin(50);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.method = pass->method();
    result.outcome = progress.outcome;
    pass.reset();
    result.riseMB = (static_cast<double>(status.read().availPhys) - static_cast<double>(before)) / MiB;
    result.blockMB = result.method == PassMethod::Block ? static_cast<double>(progress.doneBytes) / MiB : 0;
    result.swapWrittenMB = static_cast<double>(field("/proc/vmstat", "pswpout") - swappedBefore) * 4096 / MiB;
    std::ifstream peak(ownGroup + "/memory.peak");
    std::uint64_t peakBytes = 0;
    peak >> peakBytes;
    result.peakMB = static_cast<double>(peakBytes) / MiB;
    result.askedMB = amountMB;
    return result;
}

const char* nameOf(PassMethod method) { return method == PassMethod::KernelReclaim ? "memory.reclaim" : "block"; }
const char* nameOf(BlockOutcome outcome)
{
    return outcome == BlockOutcome::Written ? "reached" : outcome == BlockOutcome::Aborted ? "stopped short" : "refused";
}

void print(const PassResult& r)
{
    std::printf("nimbrel-vm: %4llu MB by %-14s %6.2f s  available +%6.1f MB  block written %6.1f MB  "
                "swap written %6.1f MB  group peak %6.1f MB  (%s)\n",
                static_cast<unsigned long long>(r.askedMB), nameOf(r.method), r.seconds, r.riseMB, r.blockMB,
                r.swapWrittenMB, r.peakMB, nameOf(r.outcome));
    std::fflush(stdout);
}

int check(MemoryBlock& passes, ProcMeminfoStatus& status, Hog& hog, const KernelReclaim& kernel)
{
    int failures = 0;
    const PassResult reclaim = release(passes, status, 100, false);
    print(reclaim);
    const auto expect = [&](bool held, const char* what) {
        std::printf("nimbrel-vm: %s %s\n", held ? "ok  " : "FAIL", what);
        failures += held ? 0 : 1;
    };
    expect(reclaim.method == PassMethod::KernelReclaim, "the pass went through memory.reclaim");
    expect(reclaim.riseMB >= 90, "a 100 MB release made at least 90 MB more available");
    expect(reclaim.blockMB == 0 && reclaim.peakMB > 0 && reclaim.peakMB < 32,
           "and wrote no block (its group's memory.peak stayed under 32 MB)");
    hog.touchAgain();
    const PassResult block = release(passes, status, 100, true);
    print(block);
    expect(block.method == PassMethod::Block && block.outcome == BlockOutcome::Written, "the block's pass ran beside it");
    std::printf("nimbrel-vm: block / reclaim: time %.1fx, memory written %.0f MB against none\n",
                block.seconds / reclaim.seconds, block.blockMB);

    // With the program gone and no swap, nothing is left that the kernel could reclaim: it says so (EAGAIN).
    hog.stop();
    if (::swapoff("/dev/vda") != 0) std::printf("nimbrel-vm: swapoff: %s\n", std::strerror(errno));
    expect(kernel.reclaim(64 * MiB) == KernelReclaim::Answer::NoMore,
           "with nothing left to reclaim the kernel's refusal reads as no more");
    return failures == 0 ? 0 : 1;
}

int bench(MemoryBlock& passes, ProcMeminfoStatus& status, Hog& hog)
{
    for (const std::uint64_t amount : {100, 400}) {
        hog.touchAgain();
        const PassResult reclaim = release(passes, status, amount, false);
        print(reclaim);
        hog.touchAgain();
        const PassResult block = release(passes, status, amount, true);
        print(block);
        std::printf("nimbrel-vm: %llu MB: block / reclaim time %.1f, swap written %.1f, memory written %.0f MB "
                    "against %.0f MB\n",
                    static_cast<unsigned long long>(amount), block.seconds / reclaim.seconds,
                    reclaim.swapWrittenMB > 0 ? block.swapWrittenMB / reclaim.swapWrittenMB : 0.0, block.blockMB,
                    reclaim.blockMB);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "check";
    if (!writeFile(ownGroup + "/cgroup.procs", std::to_string(::getpid()))) {
        std::printf("nimbrel-vm: FAIL cannot enter %s\n", ownGroup.c_str());
        return 1;
    }
    const std::uint64_t hogMB = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 400;
    Hog hog(hogMB * MiB);
    if (!hog.started()) {
        std::printf("nimbrel-vm: FAIL the %llu MB program did not start\n", static_cast<unsigned long long>(hogMB));
        return 1;
    }
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    const KernelReclaim kernel;
    std::printf("nimbrel-vm: memory.reclaim: %s\n", kernel.offered() ? kernel.file().c_str() : "none");
    ReclaimOrBlock passes(block, kernel, [] { return std::make_unique<ProcMeminfoStatus>(); });
    return mode == "bench" ? bench(passes, status, hog) : check(passes, status, hog, kernel);
}
