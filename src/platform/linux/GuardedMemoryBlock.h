#pragma once

#include "core/system/MemoryBlock.h"
#include "core/system/MemoryStatus.h"

namespace nimbrel {

// A block of a release pass written so that it can never make the kernel's OOM killer take another program or
// the caller:
//  - a block larger than the available page-file figure (MemAvailable + SwapFree within the cgroup) less a
//    safety margin of max(64 MiB, 2% of physical memory) is refused before anything is taken;
//  - the block is held by child processes (one a core for a large block, each filling its own share), each of
//    which makes itself the OOM killer's first choice (oom_score_adj 1000), so if memory runs out all the same
//    it is a holder that dies, and the block counts as aborted;
//  - every holder looks at the figures again after each few megabytes and gives everything back at once when
//    the available figure falls under the margin.
// writeAndHold waits until the whole block has been written (and, for writeAndFree, given back); startPass
// returns once the holders have started, and the pass is heard from whenever the caller looks at it.
class GuardedMemoryBlock : public MemoryBlock {
public:
    // The holders call status.read() in a child forked from what may be a multi-threaded program, so it must
    // allocate nothing and use plain system calls only, as ProcMeminfoStatus::read() does.
    explicit GuardedMemoryBlock(MemoryStatus& status) : status_(status) {}

    // Commits the block and fills it with blanks; the holders keep it until the returned holder is destroyed.
    // Refused also when no child process can be started; Aborted when memory ran short or a holder was killed.
    HeldOutcome writeAndHold(std::uint64_t bytes) override;
    // The same block, written while the caller goes on; its progress is what the holders have written.
    std::unique_ptr<RunningPass> startPass(const PassRequest& request) override;

private:
    MemoryStatus& status_;
};

} // namespace nimbrel
