#include "core/system/MemoryBlock.h"

#include <utility>

namespace nimbrel {

namespace {

// A pass that was over before it was handed out: the block was written (and kept, or given back) already.
class FinishedPass : public RunningPass {
public:
    FinishedPass(HeldOutcome written, std::uint64_t bytes) : held_(std::move(written.holder))
    {
        progress_ = {true, written.outcome, written.outcome == BlockOutcome::Written ? bytes : 0, bytes};
    }
    PassMethod method() const override { return PassMethod::Block; }
    PassProgress progress() override { return progress_; }
    PassProgress progressWithin(std::uint32_t) override { return progress_; }

private:
    std::unique_ptr<HeldBlock> held_;
    PassProgress progress_;
};

} // namespace

std::unique_ptr<RunningPass> MemoryBlock::startPass(const PassRequest& request)
{
    HeldOutcome written = writeAndHold(request.targetBytes);
    if (!request.keep) written.holder.reset();
    return std::make_unique<FinishedPass>(std::move(written), request.targetBytes);
}

} // namespace nimbrel
