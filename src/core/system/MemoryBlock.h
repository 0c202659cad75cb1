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

// How one pass of a release makes memory available.
enum class PassMethod {
    Block,         // a block as large as the target, written and given back
    KernelReclaim, // the kernel asked to reclaim the missing amount from the user's own cgroup
};

// How far a running pass has come.
struct PassProgress {
    bool finished = false;
    BlockOutcome outcome = BlockOutcome::Written; // how it ended, once finished (Aborted: reclaim stopped short)
    std::uint64_t doneBytes = 0;                  // written or reclaimed so far
    std::uint64_t goalBytes = 0;                  // the block's size, or the amount to reclaim
};

// One pass under way. It goes on without being called; destroying it stops it and gives back whatever it
// took, a block kept included.
class RunningPass {
public:
    virtual ~RunningPass() = default;
    virtual PassMethod method() const = 0;
    // How far it has come now; returns at once.
    virtual PassProgress progress() = 0;
    // The same once it has finished or ms milliseconds have gone by, whichever comes first: for a caller that
    // waits for the pass between yields to the event loop.
    virtual PassProgress progressWithin(std::uint32_t ms) = 0;
};

// What a caller may ask of a pass.
struct PassRequest {
    std::uint64_t targetBytes = 0; // the available memory the pass is to bring about
    bool keep = false;             // a written block stays committed until the pass is destroyed
    bool blockOnly = false;        // the user chose the block over the kernel's reclaim
};

class MemoryBlock {
public:
    virtual ~MemoryBlock() = default;
    // Commits a block of the given size and fills it with blanks (the 16-bit
    // character 0x0020); the block stays committed until the holder returned is destroyed.
    virtual HeldOutcome writeAndHold(std::uint64_t bytes) = 0;
    // The same, freeing the block again before returning.
    BlockOutcome writeAndFree(std::uint64_t bytes) { return writeAndHold(bytes).outcome; }
    // Starts one pass towards the request's target. Here: a block of the target's size, written before this
    // returns; a system that can do it in the background or by other means does.
    virtual std::unique_ptr<RunningPass> startPass(const PassRequest& request);
};

} // namespace nimbrel
