#pragma once

#include "KernelReclaim.h"
#include "core/system/MemoryBlock.h"
#include "core/system/MemoryStatus.h"

#include <functional>
#include <memory>

namespace nimbrel {

// One pass of a release as Linux offers it: the kernel's reclaim of the user's own cgroup where its
// memory.reclaim may be written, or else (and whenever the user chose it) the block.
class ReclaimOrBlock : public MemoryBlock {
public:
    // statusForPass makes the figures each reclaim pass reads on its own thread.
    ReclaimOrBlock(MemoryBlock& block, const KernelReclaim& kernel,
                   std::function<std::unique_ptr<MemoryStatus>()> statusForPass)
        : block_(block), kernel_(kernel), statusForPass_(std::move(statusForPass))
    {
    }

    HeldOutcome writeAndHold(std::uint64_t bytes) override { return block_.writeAndHold(bytes); }
    std::unique_ptr<RunningPass> startPass(const PassRequest& request) override;

private:
    MemoryBlock& block_;
    const KernelReclaim& kernel_;
    std::function<std::unique_ptr<MemoryStatus>()> statusForPass_;
};

} // namespace nimbrel
