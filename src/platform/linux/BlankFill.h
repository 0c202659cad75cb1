#pragma once

#include <cstddef>

namespace nimbrel {

// Writes blanks, the 16-bit character 0x0020 in UTF-16LE (bytes 0x20 0x00), over bytes bytes from start; the
// first byte is the low half of a character, so an odd count ends with a lone 0x20. Touches nothing else and
// calls no allocator: safe in a forked child.
void fillWithBlanks(void* start, std::size_t bytes) noexcept;

} // namespace nimbrel
