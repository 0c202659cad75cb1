#pragma once

#include <cstdint>
#include <memory>

namespace nimbrel {

// What became of one block of a release pass.
enum class BlockOutcome {
    Written, // committed, every byte written with blanks (and given back, unless held)
    Refused, // larger than memory and swap can back: nothing was taken
    Aborted, // given back early because memory ran short while it was written
};

// A written block that stays committed until this object is destroyed.
class HeldBlock {
public:
    virtual ~HeldBlock() = default;
};

// A block written and kept: the holder is there only when the outcome is Written.
struct HeldOutcome {
    BlockOutcome outcome;
    std::unique_ptr<HeldBlock> holder;
};

class MemoryBlock {
public:
    virtual ~MemoryBlock() = default;
    // Commits a block of the given size and fills it with blanks (the 16-bit
    // character 0x0020); the block stays committed until the holder returned is destroyed.
    virtual HeldOutcome writeAndHold(std::uint64_t bytes) = 0;
    // The same, freeing the block again before returning.
    BlockOutcome writeAndFree(std::uint64_t bytes) { return writeAndHold(bytes).outcome; }
};

} // namespace nimbrel
