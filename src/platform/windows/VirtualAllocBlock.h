#pragma once

#include "core/system/MemoryBlock.h"
#include "core/system/MemoryStatus.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace nimbrel {

// A block of a release pass committed with VirtualAlloc and written with blanks. Windows kills no program when
// memory runs out, but while the block holds the commit other programs' allocations fail, so it is guarded the
// same way as on Linux:
//  - a block larger than the commit that is left (the available page-file figure) less the margin of
//    BlockMargin.h is refused before anything is taken, as is one the system will not commit;
//  - after every few megabytes written the figures are read again, and the block is given back at once when
//    the commit left falls under the margin.
// A release's pass writes its block on a thread of its own, so the window goes on meanwhile; the figures are read
// from that thread too.
class VirtualAllocBlock : public MemoryBlock {
public:
    explicit VirtualAllocBlock(MemoryStatus& status) : status_(status) {}

    HeldOutcome writeAndHold(std::uint64_t bytes) override;
    std::unique_ptr<RunningPass> startPass(const PassRequest& request) override;

    // How far a block's writing has come, and the word to stop it.
    struct Writing {
        std::atomic<std::uint64_t> written{0};
        std::atomic<bool> stop{false};
    };

private:
    HeldOutcome write(std::uint64_t bytes, Writing& writing);

    MemoryStatus& status_;
};

} // namespace nimbrel
