#include "BlankFill.h"

#include <bit>
#include <cstdint>
#include <cwchar>

namespace nimbrel {

namespace {

// wmemset stores 32-bit units with glibc's vector code, as fast as memset; two blanks make one unit.
static_assert(sizeof(wchar_t) == 4 && std::endian::native == std::endian::little);
constexpr wchar_t kTwoBlanks = 0x00200020;      // bytes 20 00 20 00
constexpr wchar_t kTwoBlanksShifted = 0x20002000; // bytes 00 20 00 20, for a unit that starts at an odd byte

unsigned char blankByte(std::size_t offset) { return offset % 2 == 0 ? 0x20 : 0x00; }

} // namespace

void fillWithBlanks(void* start, std::size_t bytes) noexcept
{
    auto* const p = static_cast<unsigned char*>(start);
    std::size_t head = (alignof(wchar_t) - reinterpret_cast<std::uintptr_t>(p) % alignof(wchar_t)) % alignof(wchar_t);
    if (head > bytes) head = bytes;
    for (std::size_t i = 0; i < head; ++i) p[i] = blankByte(i);

    const std::size_t units = (bytes - head) / sizeof(wchar_t);
    std::wmemset(reinterpret_cast<wchar_t*>(p + head), head % 2 == 0 ? kTwoBlanks : kTwoBlanksShifted, units);

    for (std::size_t i = head + units * sizeof(wchar_t); i < bytes; ++i) p[i] = blankByte(i);
}

} // namespace nimbrel
