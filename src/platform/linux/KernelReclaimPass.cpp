#include "KernelReclaimPass.h"

#include "platform/common/BlockMargin.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace nimbrel {

namespace {

constexpr std::uint64_t kPage = 4096;

} // namespace

KernelReclaimPass::KernelReclaimPass(const KernelReclaim& kernel, std::unique_ptr<MemoryStatus> status,
                                     std::uint64_t targetBytes)
    : kernel_(kernel), status_(std::move(status)), target_(targetBytes)
{
    startAvailable_ = status_->read().availPhys;
    goal_ = target_ > startAvailable_ ? target_ - startAvailable_ : 0;
    thread_ = std::thread([this] { run(); });
}

KernelReclaimPass::~KernelReclaimPass()
{
    stop_ = true;
    thread_.join();
}

void KernelReclaimPass::run()
{
    const std::uint64_t limit = goal_ * limitFactor;
    for (;;) {
        const MemorySnapshot now = status_->read();
        done_ = now.availPhys > startAvailable_ ? now.availPhys - startAvailable_ : 0;
        if (now.availPhys >= target_) return finish(BlockOutcome::Written);
        if (stop_ || asked_ >= limit || now.availPageFile < blockMargin(now)) return finish(BlockOutcome::Aborted);
        // The kernel reclaims whole pages.
        const std::uint64_t missing = (target_ - now.availPhys + kPage - 1) / kPage * kPage;
        const std::uint64_t step = std::min({stepBytes, missing, limit - asked_});
        asked_ += step;
        if (kernel_.reclaim(step) != KernelReclaim::Answer::Reclaimed) {
            const MemorySnapshot last = status_->read();
            done_ = last.availPhys > startAvailable_ ? last.availPhys - startAvailable_ : 0;
            return finish(last.availPhys >= target_ ? BlockOutcome::Written : BlockOutcome::Aborted);
        }
    }
}

void KernelReclaimPass::finish(BlockOutcome outcome)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    outcome_ = outcome;
    finished_ = true;
    over_.notify_all();
}

PassProgress KernelReclaimPass::progress() { return progressWithin(0); }

PassProgress KernelReclaimPass::progressWithin(std::uint32_t ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (ms > 0) over_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return finished_; });
    return {finished_, outcome_, std::min(done_.load(), goal_), goal_};
}

} // namespace nimbrel
