#pragma once

#include "KernelReclaim.h"
#include "core/system/MemoryBlock.h"
#include "core/system/MemoryStatus.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace nimbrel {

// One pass of a release through the kernel's reclaim, on a thread of its own: it asks for the memory still
// missing up to the target in steps of stepBytes, reads the figures again after each, and stops at the target,
// when the kernel reclaims no more, when it has asked for limitFactor times what was missing at the start (with
// zram a reclaimed page stays in memory, compressed, so available memory rises by only part of what is
// reclaimed), or when memory and swap still free fall under the release block's margin. Its progress is the
// rise of available memory against what was missing.
class KernelReclaimPass : public RunningPass {
public:
    static constexpr std::uint64_t stepBytes = 64ull * 1024 * 1024;
    static constexpr std::uint64_t limitFactor = 4;

    // status is the pass's own: its thread reads it while other threads read theirs.
    KernelReclaimPass(const KernelReclaim& kernel, std::unique_ptr<MemoryStatus> status, std::uint64_t targetBytes);
    // Stops asking and waits for the request under way, if any.
    ~KernelReclaimPass() override;
    KernelReclaimPass(const KernelReclaimPass&) = delete;
    KernelReclaimPass& operator=(const KernelReclaimPass&) = delete;

    PassMethod method() const override { return PassMethod::KernelReclaim; }
    PassProgress progress() override;
    PassProgress progressWithin(std::uint32_t ms) override;

    // What it asked the kernel for in all.
    std::uint64_t askedBytes() const { return asked_.load(); }

private:
    void run();
    void finish(BlockOutcome outcome);

    const KernelReclaim& kernel_;
    std::unique_ptr<MemoryStatus> status_;
    const std::uint64_t target_;
    std::uint64_t startAvailable_ = 0;
    std::uint64_t goal_ = 0;
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> asked_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable over_;
    bool finished_ = false;
    BlockOutcome outcome_ = BlockOutcome::Written;
    std::thread thread_;
};

} // namespace nimbrel
