#pragma once

#include "core/MemoryBlock.h"
#include "core/MemoryStatus.h"

namespace nimbrel {

// A block of a release pass committed with VirtualAlloc and written with blanks. Windows kills no program when
// memory runs out, but while the block holds the commit other programs' allocations fail, so it is guarded the
// same way as on Linux:
//  - a block larger than the commit that is left (the available page-file figure) less the margin of
//    BlockMargin.h is refused before anything is taken, as is one the system will not commit;
//  - after every few megabytes written the figures are read again, and the block is given back at once when
//    the commit left falls under the margin.
class VirtualAllocBlock : public MemoryBlock {
public:
    explicit VirtualAllocBlock(MemoryStatus& status) : status_(status) {}

    HeldOutcome writeAndHold(std::uint64_t bytes) override;

private:
    MemoryStatus& status_;
};

} // namespace nimbrel
