#pragma once

#include <cstdint>

namespace nimbrel {

// What became of one block of a release pass.
enum class BlockOutcome {
    Written, // committed, every byte written with blanks, and given back
    Refused, // larger than memory and swap can back: nothing was taken
    Aborted, // given back early because memory ran short while it was written
};

class MemoryBlock {
public:
    virtual ~MemoryBlock() = default;
    // Commits a block of the given size, fills it with blanks (the 16-bit
    // character 0x0020) and frees it again before returning.
    virtual BlockOutcome writeAndFree(std::uint64_t bytes) = 0;
};

} // namespace nimbrel
