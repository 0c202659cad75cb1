#include "GuardedMemoryBlock.h"

#include "BlankFill.h"
#include "ChildSignals.h"
#include "platform/common/BlockMargin.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

// Why child processes: the block must belong to a process the OOM killer may take without harm, and a process
// is the unit it kills. The caller is a multi-threaded Qt program, so after fork() a holder may only make
// async-signal-safe calls: it uses raw system calls (prctl, sigaction, read, write, open, mmap, madvise, _exit),
// the blank fill (wmemset, which keeps no state) and the status's read(), and never allocates. Threads inside a
// holder would need pthread_create after fork in a multi-threaded parent, which POSIX does not allow, so a large
// block is split over several single-threaded holders, one a core, instead. They start together through a gate
// pipe, so a fork that fails leaves nothing taken, and each reports through a pipe of its own: a word when it is
// done, and the end of the pipe when it is gone, however it went. Written shares are held until every holder has
// reported, so the whole block is resident at once, then all holders are killed together.

namespace nimbrel {

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kHugePage = 2 * kMiB;

// All holders together write at most half the margin (blockMargin) between two looks at the figures.
constexpr std::uint64_t kWatchStep = 32 * kMiB;

// A share smaller than this does not pay for the fork of another holder.
constexpr std::uint64_t kMinShare = 32 * kMiB;
constexpr int kMaxHolders = 8;

// A holder's word to the caller; a holder whose pipe ends without one was killed.
constexpr char kWordWritten = 'W';
constexpr char kWordShort = 'S';
constexpr char kWordNothingTaken = 'N';
constexpr char kWordKilled = 'K';

int usableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return static_cast<int>(std::max(1L, ::sysconf(_SC_NPROCESSORS_ONLN)));
}

struct Share {
    MemoryStatus* status;
    std::uint64_t margin;
    std::uint64_t bytes;
    std::uint64_t watchStep; // what this holder writes between two looks at the figures
    pid_t caller;
    int gate;   // read end: one byte lets one holder start
    int report; // write end
};

void say(int fd, char word) noexcept
{
    while (::write(fd, &word, 1) < 0 && errno == EINTR) {
    }
}

bool becomeOomKillersFirstChoice() noexcept
{
    const int fd = ::open("/proc/self/oom_score_adj", O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool done = ::write(fd, "1000", 4) == 4;
    ::close(fd);
    return done;
}

// The life of a holder, in the child: async-signal-safe calls only (see the top of the file).
[[noreturn]] void holdShare(const Share& share) noexcept
{
    // A holder never outlives the caller, whatever ends it.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != share.caller) ::_exit(0);
    restoreDefaultSignals();

    char go = 0;
    ssize_t got;
    while ((got = ::read(share.gate, &go, 1)) < 0 && errno == EINTR) {
    }
    if (got != 1) ::_exit(0);

    if (!becomeOomKillersFirstChoice()) {
        say(share.report, kWordNothingTaken);
        ::_exit(0);
    }

    // One huge page more than the share, so that the share can start on a huge-page boundary.
    const auto length = static_cast<std::size_t>(share.bytes + kHugePage);
    void* const mapping = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        say(share.report, kWordNothingTaken);
        ::_exit(0);
    }
    auto* const block =
        reinterpret_cast<unsigned char*>((reinterpret_cast<std::uintptr_t>(mapping) + kHugePage - 1) & ~(kHugePage - 1));
    ::madvise(block, static_cast<std::size_t>(share.bytes), MADV_HUGEPAGE);

    for (std::uint64_t written = 0; written < share.bytes;) {
        const std::uint64_t piece = std::min(share.watchStep, share.bytes - written);
        fillWithBlanks(block + written, static_cast<std::size_t>(piece));
        written += piece;
        if (written < share.bytes && share.status->read().availPageFile < share.margin) {
            say(share.report, kWordShort);
            ::_exit(0);
        }
    }
    say(share.report, kWordWritten);
    for (;;) ::pause();
}

struct Holder {
    pid_t pid = -1;
    int report = -1; // read end, -1 once the holder is gone
    char word = 0;
};

// Kills every holder still there. A holder whose pipe is open has not exited, so its pid is still its own.
void endAll(Holder* holders, int count)
{
    for (int i = 0; i < count; ++i)
        if (holders[i].report >= 0) ::kill(holders[i].pid, SIGKILL);
}

// Hears every holder's word. With keepWritten, returns as soon as every holder has written its share and
// leaves them holding it; otherwise ends them all once all have written or one has not, and waits until each
// one is gone.
void hearHolders(Holder* holders, int count, bool keepWritten)
{
    bool ending = false;
    for (;;) {
        bool allWritten = true, oneFailed = false;
        int open = 0;
        pollfd fds[kMaxHolders];
        int of[kMaxHolders];
        for (int i = 0; i < count; ++i) {
            allWritten = allWritten && holders[i].word == kWordWritten;
            oneFailed = oneFailed || (holders[i].word != 0 && holders[i].word != kWordWritten);
            if (holders[i].report >= 0) {
                fds[open] = {holders[i].report, POLLIN, 0};
                of[open++] = i;
            }
        }
        if (open == 0) return;
        if (keepWritten && allWritten) return;
        if (!ending && (allWritten || oneFailed)) {
            endAll(holders, count);
            ending = true;
        }

        if (::poll(fds, static_cast<nfds_t>(open), -1) < 0) {
            if (errno == EINTR) continue;
            // Without poll nothing more can be heard: end them, and waitpid() will see them go.
            endAll(holders, count);
            for (int i = 0; i < count; ++i) {
                if (holders[i].report < 0) continue;
                ::close(holders[i].report);
                holders[i].report = -1;
                if (holders[i].word == 0) holders[i].word = kWordKilled;
            }
            return;
        }
        for (int k = 0; k < open; ++k) {
            if (fds[k].revents == 0) continue;
            Holder& holder = holders[of[k]];
            char word = 0;
            const ssize_t got = ::read(holder.report, &word, 1);
            if (got < 0 && errno == EINTR) continue;
            if (got == 1) {
                if (holder.word == 0) holder.word = word;
                continue;
            }
            ::close(holder.report);
            holder.report = -1;
            if (holder.word == 0) holder.word = kWordKilled;
        }
    }
}

void reap(const Holder* holders, int count)
{
    for (int i = 0; i < count; ++i)
        while (::waitpid(holders[i].pid, nullptr, 0) < 0 && errno == EINTR) {
        }
}

void closeBoth(const int (&fds)[2])
{
    ::close(fds[0]);
    ::close(fds[1]);
}

// Written holders that keep their shares until this is destroyed.
class Holders : public HeldBlock {
public:
    Holders(const Holder* holders, int count) : count_(count) { std::copy(holders, holders + count, holders_); }
    Holders(const Holders&) = delete;
    Holders& operator=(const Holders&) = delete;
    ~Holders() override
    {
        hearHolders(holders_, count_, false);
        reap(holders_, count_);
    }

private:
    Holder holders_[kMaxHolders];
    int count_;
};

} // namespace

HeldOutcome GuardedMemoryBlock::writeAndHold(std::uint64_t bytes)
{
    if (bytes == 0) return {BlockOutcome::Written, std::make_unique<HeldBlock>()};
    const MemorySnapshot now = status_.read();
    if (blockTooLarge(bytes, now)) return {BlockOutcome::Refused, nullptr};
    const std::uint64_t margin = blockMargin(now);
    if (bytes > std::numeric_limits<std::size_t>::max() - kHugePage) return {BlockOutcome::Refused, nullptr};

    const auto most = static_cast<std::uint64_t>(std::min(usableCores(), kMaxHolders));
    const int count = static_cast<int>(std::clamp<std::uint64_t>(bytes / kMinShare, 1, most));
    const std::uint64_t share = bytes / static_cast<std::uint64_t>(count) / kHugePage * kHugePage;
    const std::uint64_t watchStep = std::max(kHugePage, kWatchStep / static_cast<std::uint64_t>(count) / kHugePage * kHugePage);

    int gate[2];
    if (::pipe2(gate, O_CLOEXEC) != 0) return {BlockOutcome::Refused, nullptr};

    Holder holders[kMaxHolders];
    int started = 0;
    const pid_t caller = ::getpid();
    for (; started < count; ++started) {
        const std::uint64_t mine = started == count - 1 ? bytes - share * static_cast<std::uint64_t>(count - 1) : share;
        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0) break;
        const Share task{&status_, margin, mine, watchStep, caller, gate[0], report[1]};
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            ::close(report[0]);
            holdShare(task);
        }
        ::close(report[1]);
        if (pid < 0) {
            ::close(report[0]);
            break;
        }
        holders[started] = {pid, report[0], 0};
    }

    // All start, or none: until the gate opens no holder has taken anything.
    const char go[kMaxHolders] = {};
    bool open = started == count;
    if (open) {
        ssize_t put;
        while ((put = ::write(gate[1], go, static_cast<std::size_t>(count))) < 0 && errno == EINTR) {
        }
        open = put == count;
    }
    closeBoth(gate);
    if (!open) {
        endAll(holders, started);
        for (int i = 0; i < started; ++i) ::close(holders[i].report);
        reap(holders, started);
        return {BlockOutcome::Refused, nullptr};
    }

    hearHolders(holders, count, true);
    const auto all = [&](char word) {
        return std::all_of(holders, holders + count, [word](const Holder& h) { return h.word == word; });
    };
    if (all(kWordWritten)) return {BlockOutcome::Written, std::make_unique<Holders>(holders, count)};
    reap(holders, count);
    if (all(kWordNothingTaken)) return {BlockOutcome::Refused, nullptr};
    return {BlockOutcome::Aborted, nullptr};
}

} // namespace nimbrel
