// The longest time the window's thread is kept from its events during a real release: a release of 400 MB
// through the engine in a 1200 MB memory cgroup holding an idle program of 800 MB, with a 1 GB swap file, the
// engine's timers driven by Qt and a 5 ms timer standing for the window's events (clicks, repaints, the
// gauges). Prints the longest gap between two of its ticks against the limit of 100 ms, and, for comparison,
// how long the same block written in one call (as a pass was made before) holds the thread. Needs root.

#include "memory/ReleaseEngine.h"
#include "platform/linux/GuardedMemoryBlock.h"
#include "platform/linux/ProcMeminfoStatus.h"
#include "support/IdleProgram.h"
#include "support/OnePassEngine.h"
#include "support/TestCgroup.h"
#include "support/TestSwapFile.h"
#include "ui/qt/QtTimerScheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace nimbrel;
using namespace nimbrel::testing;

constexpr std::uint64_t MiB = 1024 * 1024;
constexpr double limitMs = 100.0;
constexpr std::int32_t releaseMB = 400;

int measureInside()
{
    int argc = 1;
    char name[] = "release_stall_bench";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    OnePassEngine window(status, block);
    ReleaseEngine& engine = window.engine;
    view::QtTimerScheduler timers;
    timers.attach(engine.tmrRam);
    timers.attach(engine.tmrPass);

    // The window's events: a tick every 5 ms; the longest gap between two is the longest stall.
    QElapsedTimer clock;
    qint64 last = -1, longest = 0, startedAt = 0, progressLines = 0;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (last >= 0 && engine.running() && now >= startedAt) longest = std::max(longest, now - last);
        last = now;
    });
    engine.lblOutcome.changed.connect([&] { ++progressLines; });
    engine.finished.connect([&] { QTimer::singleShot(0, &app, &QCoreApplication::quit); });
    clock.start();
    beat.start(5);
    const std::int32_t availableMB = static_cast<std::int32_t>(status.read().availPhys / MiB);
    engine.startRelease(releaseMB, 1000, ReleaseOrigin::User);
    startedAt = 1000; // the first pass comes after the first interval
    app.exec();
    const qint64 releaseMs = clock.elapsed() - startedAt;

    const ReleaseOutcome& outcome = engine.lastOutcome();
    std::printf("release of %d MB with %d MB available: %d pass(es), %.1f s, %s\n", releaseMB, availableMB,
                outcome.passes, static_cast<double>(releaseMs) / 1000.0, describeOutcome(outcome).c_str());
    std::printf("the outcome line changed %lld times while it ran (\"Releasing: ... of ... MB\")\n",
                static_cast<long long>(progressLines));
    std::printf("longest stall of the event loop during the release: %lld ms against a limit of %.0f ms "
                "(ratio %.2f)\n",
                static_cast<long long>(longest), limitMs, static_cast<double>(longest) / limitMs);

    std::fflush(stdout);
    return longest <= limitMs ? 0 : 1;
}

// For comparison, with a fresh idle program: the block of the same release written in one call on this
// thread, as a pass was made before.
int blockInOneCall()
{
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    const std::uint64_t bytes = status.read().availPhys + static_cast<std::uint64_t>(releaseMB) * MiB;
    const auto before = std::chrono::steady_clock::now();
    const BlockOutcome once = block.writeAndFree(bytes);
    const double onceMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count();
    std::printf("the same release's block of %llu MB written in one call (%s) held the thread for %.0f ms (ratio "
                "%.2f to the limit)\n",
                static_cast<unsigned long long>(bytes / MiB),
                once == BlockOutcome::Written ? "written" : once == BlockOutcome::Refused ? "refused" : "aborted",
                onceMs, onceMs / limitMs);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main()
{
    TestCgroup cgroup("memory");
    if (!cgroup.made()) {
        std::printf("skipped: %s\n", cgroup.whyNot().c_str());
        return 0;
    }
    const std::string swapFile = (std::filesystem::temp_directory_path() / "nimbrel-stall-swap").string();
    const TestSwapFile swap(swapFile, 1024 * MiB);
    if (!swap.on()) {
        std::printf("skipped: %s\n", swap.whyNot().c_str());
        return 0;
    }
    if (!cgroup.write(cgroup.v2() ? "memory.max" : "memory.limit_in_bytes", std::to_string(1200 * MiB))) {
        std::printf("skipped: the cgroup's limit cannot be set\n");
        return 0;
    }
    int status = 0;
    {
        const IdleProgram idle(cgroup, 800 * MiB);
        if (!idle.started()) {
            std::printf("skipped: the idle program did not start\n");
            return 0;
        }
        std::fflush(stdout);
        status = cgroup.runInside(measureInside);
        std::printf("the idle program %s, %llu MB of it in swap, OOM kills in the cgroup: %llu\n",
                    idle.alive() ? "lives" : "was killed", static_cast<unsigned long long>(idle.swapped() / MiB),
                    static_cast<unsigned long long>(cgroup.oomKills()));
        std::fflush(stdout);
    }
    {
        const IdleProgram fresh(cgroup, 800 * MiB);
        if (fresh.started()) cgroup.runInside(blockInOneCall);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
