#include "platform/linux/BlankFill.h"

#include <gtest/gtest.h>

#include <vector>

namespace nimbrel {
namespace {

// Fills bytes bytes starting offset bytes into a buffer of sentinels and checks every byte of the buffer.
void expectBlanks(std::size_t offset, std::size_t bytes)
{
    constexpr unsigned char sentinel = 0xA5;
    std::vector<unsigned char> buffer(offset + bytes + 16, sentinel);
    fillWithBlanks(buffer.data() + offset, bytes);
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        const bool inside = i >= offset && i < offset + bytes;
        const unsigned char expected = !inside ? sentinel : (i - offset) % 2 == 0 ? 0x20 : 0x00;
        ASSERT_EQ(buffer[i], expected) << "byte " << i << " of a fill of " << bytes << " at offset " << offset;
    }
}

TEST(BlankFill, WritesTheBlankCharacterAsUtf16LowByteFirst)
{
    unsigned char text[8] = {};
    fillWithBlanks(text, sizeof text);
    const unsigned char blanks[8] = {0x20, 0x00, 0x20, 0x00, 0x20, 0x00, 0x20, 0x00};
    EXPECT_EQ(std::vector<unsigned char>(text, text + 8), std::vector<unsigned char>(blanks, blanks + 8));
}

TEST(BlankFill, FillsExactlyTheBytesAskedForAtAnyAlignmentAndLength)
{
    for (std::size_t offset = 0; offset < 8; ++offset)
        for (std::size_t bytes : {0u, 1u, 2u, 3u, 4u, 5u, 7u, 63u, 64u, 65u, 4095u, 4096u, 100003u})
            expectBlanks(offset, bytes);
}

} // namespace
} // namespace nimbrel
