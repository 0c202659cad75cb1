#include "GuardedMemoryBlock.h"

#include "BlankFill.h"
#include "ChildSignals.h"
#include "platform/common/BlockMargin.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <new>
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
    std::atomic<std::uint64_t>* written; // in memory shared with the caller: how much of the share is written
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
        share.written->store(written, std::memory_order_relaxed);
        if (written < share.bytes && share.status->read().availPageFile < share.margin) {
            say(share.report, kWordShort);
            ::_exit(0);
        }
    }
    say(share.report, kWordWritten);
    for (;;) ::pause();
}

void closeBoth(const int (&fds)[2])
{
    ::close(fds[0]);
    ::close(fds[1]);
}

struct Holder {
    pid_t pid = -1;
    int report = -1; // read end, -1 once the holder is gone
    char word = 0;
};

// The holders of one block, from their start until every one of them is gone.
class HolderGroup {
public:
    HolderGroup() = default;
    HolderGroup(const HolderGroup&) = delete;
    HolderGroup& operator=(const HolderGroup&) = delete;
    ~HolderGroup()
    {
        if (count_ > 0) {
            endAll();
            while (listen(-1)) {
            }
            reap();
        }
        if (written_) ::munmap(written_, sizeof(std::atomic<std::uint64_t>) * kMaxHolders);
    }

    // Forks the holders of a block and lets them start together; false, with nothing taken, when one of them
    // cannot be started.
    bool start(MemoryStatus& status, std::uint64_t bytes, std::uint64_t margin);

    bool all(char word) const
    {
        return std::all_of(holders_, holders_ + count_, [word](const Holder& h) { return h.word == word; });
    }
    bool oneFailed() const
    {
        return std::any_of(holders_, holders_ + count_,
                           [](const Holder& h) { return h.word != 0 && h.word != kWordWritten; });
    }
    bool anyOpen() const
    {
        return std::any_of(holders_, holders_ + count_, [](const Holder& h) { return h.report >= 0; });
    }
    std::uint64_t written() const
    {
        std::uint64_t sum = 0;
        for (int i = 0; i < count_; ++i) sum += written_[i].load(std::memory_order_relaxed);
        return sum;
    }

    // Hears what the holders say within timeoutMs (-1: until one speaks or goes); false when none is left.
    bool listen(int timeoutMs);
    // Kills every holder still there. A holder whose pipe is open has not exited, so its pid is still its own.
    void endAll()
    {
        for (int i = 0; i < count_; ++i)
            if (holders_[i].report >= 0) ::kill(holders_[i].pid, SIGKILL);
    }
    // Collects the holders once they are all gone; a holder's pipe ends only after its memory has been given
    // back, so this waits for no more than the process table.
    void reap()
    {
        for (int i = 0; i < count_; ++i)
            while (::waitpid(holders_[i].pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        count_ = 0;
    }

private:
    Holder holders_[kMaxHolders];
    int count_ = 0;
    std::atomic<std::uint64_t>* written_ = nullptr;
};

bool HolderGroup::start(MemoryStatus& status, std::uint64_t bytes, std::uint64_t margin)
{
    void* const shared = ::mmap(nullptr, sizeof(std::atomic<std::uint64_t>) * kMaxHolders, PROT_READ | PROT_WRITE,
                                MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) return false;
    written_ = static_cast<std::atomic<std::uint64_t>*>(shared);
    for (int i = 0; i < kMaxHolders; ++i) new (&written_[i]) std::atomic<std::uint64_t>(0);

    const auto most = static_cast<std::uint64_t>(std::min(usableCores(), kMaxHolders));
    const int count = static_cast<int>(std::clamp<std::uint64_t>(bytes / kMinShare, 1, most));
    const std::uint64_t share = bytes / static_cast<std::uint64_t>(count) / kHugePage * kHugePage;
    const std::uint64_t watchStep = std::max(kHugePage, kWatchStep / static_cast<std::uint64_t>(count) / kHugePage * kHugePage);

    int gate[2];
    if (::pipe2(gate, O_CLOEXEC) != 0) return false;

    int started = 0;
    const pid_t caller = ::getpid();
    for (; started < count; ++started) {
        const std::uint64_t mine = started == count - 1 ? bytes - share * static_cast<std::uint64_t>(count - 1) : share;
        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0) break;
        const Share task{&status, margin, mine, watchStep, caller, gate[0], report[1], &written_[started]};
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
        holders_[started] = {pid, report[0], 0};
        count_ = started + 1;
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
        endAll();
        for (int i = 0; i < count_; ++i) {
            ::close(holders_[i].report);
            holders_[i].report = -1;
        }
        reap();
    }
    return open;
}

bool HolderGroup::listen(int timeoutMs)
{
    pollfd fds[kMaxHolders];
    int of[kMaxHolders];
    int open = 0;
    for (int i = 0; i < count_; ++i) {
        if (holders_[i].report < 0) continue;
        fds[open] = {holders_[i].report, POLLIN, 0};
        of[open++] = i;
    }
    if (open == 0) return false;
    if (::poll(fds, static_cast<nfds_t>(open), timeoutMs) < 0) {
        if (errno == EINTR) return true;
        // Without poll nothing more can be heard: end them, and waitpid() will see them go.
        endAll();
        for (int i = 0; i < count_; ++i) {
            if (holders_[i].report < 0) continue;
            ::close(holders_[i].report);
            holders_[i].report = -1;
            if (holders_[i].word == 0) holders_[i].word = kWordKilled;
        }
        return false;
    }
    for (int k = 0; k < open; ++k) {
        if (fds[k].revents == 0) continue;
        Holder& holder = holders_[of[k]];
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
    return true;
}

// The outcome of a group whose holders have all spoken or gone.
BlockOutcome outcomeOf(const HolderGroup& group)
{
    if (group.all(kWordWritten)) return BlockOutcome::Written;
    if (group.all(kWordNothingTaken)) return BlockOutcome::Refused;
    return BlockOutcome::Aborted;
}

// Written holders that keep their shares until this is destroyed.
class Holders : public HeldBlock {
public:
    explicit Holders(std::unique_ptr<HolderGroup> group) : group_(std::move(group)) {}

private:
    std::unique_ptr<HolderGroup> group_;
};

// A pass of the guarded block that the caller looks at now and then: the holders write meanwhile, and are
// ended and heard going without the caller waiting for them.
class HoldersPass : public RunningPass {
public:
    HoldersPass(std::unique_ptr<HolderGroup> group, std::uint64_t bytes, bool keep)
        : group_(std::move(group)), bytes_(bytes), keep_(keep)
    {
    }
    HoldersPass(BlockOutcome refused, std::uint64_t bytes) : bytes_(bytes), done_(true), outcome_(refused) {}

    PassMethod method() const override { return PassMethod::Block; }
    PassProgress progress() override { return progressWithin(0); }
    PassProgress progressWithin(std::uint32_t ms) override
    {
        if (!done_) look(static_cast<int>(ms));
        const std::uint64_t written = group_ ? group_->written() : 0;
        return {done_, outcome_, done_ && outcome_ == BlockOutcome::Written ? bytes_ : std::min(written, bytes_), bytes_};
    }

private:
    void look(int timeoutMs)
    {
        group_->listen(timeoutMs);
        if (!ending_) {
            const bool allWritten = group_->all(kWordWritten);
            if (allWritten && keep_) {
                finish(BlockOutcome::Written);
                return;
            }
            if (!allWritten && !group_->oneFailed() && group_->anyOpen()) return;
            // Written in full, or one holder fell short: give everything back together.
            group_->endAll();
            ending_ = true;
        }
        while (group_->anyOpen()) {
            if (!group_->listen(0)) break;
            if (group_->anyOpen()) return;
        }
        const BlockOutcome heard = outcomeOf(*group_);
        group_->reap();
        finish(heard);
    }
    void finish(BlockOutcome outcome)
    {
        outcome_ = outcome;
        done_ = true;
    }

    std::unique_ptr<HolderGroup> group_;
    std::uint64_t bytes_;
    bool keep_ = false;
    bool done_ = false;
    bool ending_ = false;
    BlockOutcome outcome_ = BlockOutcome::Written;
};

} // namespace

HeldOutcome GuardedMemoryBlock::writeAndHold(std::uint64_t bytes)
{
    if (bytes == 0) return {BlockOutcome::Written, std::make_unique<HeldBlock>()};
    const MemorySnapshot now = status_.read();
    if (blockTooLarge(bytes, now)) return {BlockOutcome::Refused, nullptr};
    if (bytes > std::numeric_limits<std::size_t>::max() - kHugePage) return {BlockOutcome::Refused, nullptr};
    auto group = std::make_unique<HolderGroup>();
    if (!group->start(status_, bytes, blockMargin(now))) return {BlockOutcome::Refused, nullptr};

    // Until every holder has written its share, or one has not.
    while (!group->all(kWordWritten) && !group->oneFailed() && group->listen(-1)) {
    }
    if (group->all(kWordWritten)) return {BlockOutcome::Written, std::make_unique<Holders>(std::move(group))};
    group->endAll();
    while (group->listen(-1)) {
    }
    const BlockOutcome outcome = outcomeOf(*group);
    group->reap();
    return {outcome, nullptr};
}

std::unique_ptr<RunningPass> GuardedMemoryBlock::startPass(const PassRequest& request)
{
    const std::uint64_t bytes = request.targetBytes;
    const MemorySnapshot now = status_.read();
    if (bytes == 0 || blockTooLarge(bytes, now) || bytes > std::numeric_limits<std::size_t>::max() - kHugePage)
        return MemoryBlock::startPass(request);
    auto group = std::make_unique<HolderGroup>();
    if (!group->start(status_, bytes, blockMargin(now))) return std::make_unique<HoldersPass>(BlockOutcome::Refused, bytes);
    return std::make_unique<HoldersPass>(std::move(group), bytes, request.keep);
}

} // namespace nimbrel
