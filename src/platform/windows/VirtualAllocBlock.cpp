#include "VirtualAllocBlock.h"

#include "platform/common/BlockMargin.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <limits>

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

} // namespace

HeldOutcome VirtualAllocBlock::writeAndHold(std::uint64_t bytes)
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
        if (written < bytes && status_.read().availPageFile < margin) return {BlockOutcome::Aborted, nullptr};
    }
    return {BlockOutcome::Written, std::move(block)};
}

} // namespace nimbrel
