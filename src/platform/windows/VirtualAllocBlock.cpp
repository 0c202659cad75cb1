#include "VirtualAllocBlock.h"

#include "platform/common/BlockMargin.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cwchar>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>

namespace nimbrel {

namespace {

// Written between two looks at the figures: well under the smallest margin.
constexpr std::uint64_t kWatchStep = 16ull * 1024 * 1024;

// The committed block, given back when this goes.
class VirtualBlock : public HeldBlock {
public:
    explicit VirtualBlock(void* start) : start_(start) {}
    VirtualBlock(const VirtualBlock&) = delete;
    VirtualBlock& operator=(const VirtualBlock&) = delete;
    ~VirtualBlock() override { VirtualFree(start_, 0, MEM_RELEASE); }

private:
    void* start_;
};

// Blanks are the UTF-16 character 0x0020, which is what a wchar_t holds on Windows; an odd count ends with the
// blank's low byte alone.
void fillWithBlanks(unsigned char* start, std::size_t bytes)
{
    std::wmemset(reinterpret_cast<wchar_t*>(start), L' ', bytes / sizeof(wchar_t));
    if (bytes % sizeof(wchar_t) != 0) start[bytes - 1] = 0x20;
}

// A pass whose block is written on a thread of its own; destroying it stops the writing and gives the block back.
class BackgroundPass : public RunningPass {
public:
    BackgroundPass(std::function<HeldOutcome(VirtualAllocBlock::Writing&)> write, std::uint64_t bytes, bool keep)
        : bytes_(bytes), thread_([this, write = std::move(write), keep] {
              HeldOutcome result{BlockOutcome::Aborted, nullptr};
              // Nothing may leave a thread: a failure to keep the block is a block given back.
              try {
                  result = write(writing_);
              } catch (...) {
                  result = {BlockOutcome::Aborted, nullptr};
              }
              // Given back here, not on the window's thread.
              if (!keep) result.holder.reset();
              const std::lock_guard<std::mutex> guard(lock_);
              held_ = std::move(result.holder);
              outcome_ = result.outcome;
              done_ = true;
              ended_.notify_all();
          })
    {
    }
    ~BackgroundPass() override
    {
        writing_.stop = true;
        thread_.join();
    }
    BackgroundPass(const BackgroundPass&) = delete;
    BackgroundPass& operator=(const BackgroundPass&) = delete;

    PassMethod method() const override { return PassMethod::Block; }
    PassProgress progress() override { return progressWithin(0); }
    PassProgress progressWithin(std::uint32_t ms) override
    {
        std::unique_lock<std::mutex> guard(lock_);
        ended_.wait_for(guard, std::chrono::milliseconds(ms), [this] { return done_; });
        const bool written = done_ && outcome_ == BlockOutcome::Written;
        return {done_, outcome_, written ? bytes_ : std::min(writing_.written.load(), bytes_), bytes_};
    }

private:
    std::uint64_t bytes_;
    VirtualAllocBlock::Writing writing_;
    std::mutex lock_;
    std::condition_variable ended_;
    bool done_ = false;
    BlockOutcome outcome_ = BlockOutcome::Written;
    std::unique_ptr<HeldBlock> held_;
    std::thread thread_; // last: it starts once everything it uses is there
};

} // namespace

HeldOutcome VirtualAllocBlock::writeAndHold(std::uint64_t bytes)
{
    Writing writing;
    return write(bytes, writing);
}

std::unique_ptr<RunningPass> VirtualAllocBlock::startPass(const PassRequest& request)
{
    return std::make_unique<BackgroundPass>([this, bytes = request.targetBytes](Writing& writing) {
        return write(bytes, writing);
    }, request.targetBytes, request.keep);
}

HeldOutcome VirtualAllocBlock::write(std::uint64_t bytes, Writing& writing)
{
    if (bytes == 0) return {BlockOutcome::Written, std::make_unique<HeldBlock>()};
    const MemorySnapshot now = status_.read();
    if (blockTooLarge(bytes, now) || bytes > std::numeric_limits<SIZE_T>::max()) return {BlockOutcome::Refused, nullptr};
    const std::uint64_t margin = blockMargin(now);

    void* const start = VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!start) return {BlockOutcome::Refused, nullptr};
    auto block = std::make_unique<VirtualBlock>(start);

    auto* const bytesAt = static_cast<unsigned char*>(start);
    for (std::uint64_t written = 0; written < bytes;) {
        const std::uint64_t piece = std::min(kWatchStep, bytes - written);
        fillWithBlanks(bytesAt + written, static_cast<std::size_t>(piece));
        written += piece;
        writing.written = written;
        if (writing.stop) return {BlockOutcome::Aborted, nullptr};
        if (written < bytes && status_.read().availPageFile < margin) return {BlockOutcome::Aborted, nullptr};
    }
    return {BlockOutcome::Written, std::move(block)};
}

} // namespace nimbrel
