#pragma once

// The few checks of a Windows bitmap's headers made before Qt's decoder sees
// the file. Qt's reader decodes every kind of bitmap a user may supply, but it
// is lenient where leniency shows the user garbage or costs memory:
// - it reads a pixel array that stops short of the last row and returns the
//   rows it never read as whatever memory held;
// - it ignores a pixel offset it finds bogus (past the end of the file, or past
//   2 GB) and decodes the bytes after the palette as pixels instead;
// - it reads any header size it does not know as the 12-byte OS/2 one;
// - it sizes its image from the header alone, so a 100-byte file may ask for
//   gigabytes; its allocation limit is a global setting.
// Everything else (bit counts, compressions, masks, palette contents, run-length
// streams) is left to Qt.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace nimbrel::view {

// What the headers of a bitmap promise, found consistent with the file's size.
struct BitmapLayout {
    static constexpr std::uint32_t rle8 = 1;
    static constexpr std::uint32_t rle4 = 2;

    int width = 0;
    int height = 0; // rows, whatever their order in the file
    int bitCount = 0;
    std::uint32_t compression = 0;

    bool runLengthEncoded() const { return compression == rle8 || compression == rle4; }
};

// The largest picture accepted, in pixels: 64 MB as 32-bit pixels, far beyond
// any surface of the program and any photograph a user is likely to use.
constexpr std::int64_t bitmapMaxPixels = std::int64_t{4096} * 4096;

// How much of the file the check reads: the file header, the largest info
// header, and the colour masks that may follow a 40-byte one.
constexpr std::size_t bitmapHeadBytes = 14 + 124 + 12;

namespace bitmapcheck {

inline std::uint32_t le16(std::span<const unsigned char> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

inline std::uint32_t le32(std::span<const unsigned char> b, std::size_t at)
{
    return le16(b, at) | le16(b, at + 2) << 16;
}

} // namespace bitmapcheck

// The layout of the bitmap whose first bytes are head (up to bitmapHeadBytes of
// them) in a file of fileSize bytes, or nothing when the file cannot hold the
// picture its headers describe. All sums are 64-bit: no field can wrap them.
inline std::optional<BitmapLayout> checkBitmapHeader(std::span<const unsigned char> head, std::uint64_t fileSize)
{
    using bitmapcheck::le16;
    using bitmapcheck::le32;
    constexpr std::uint64_t fileHeaderSize = 14;
    constexpr std::uint32_t bitfields = 3;

    if (head.size() < fileHeaderSize + 4 || head[0] != 'B' || head[1] != 'M') return std::nullopt;
    const std::uint64_t pixelOffset = le32(head, 10);
    const std::uint32_t infoSize = le32(head, 14);

    // The OS/2 core header, the Windows 3 header, the OS/2 2 header (read by its
    // first 40 bytes), and the V4 and V5 headers.
    const bool core = infoSize == 12;
    if (!core && infoSize != 40 && infoSize != 64 && infoSize != 108 && infoSize != 124) return std::nullopt;
    if (fileSize < fileHeaderSize + infoSize || head.size() < fileHeaderSize + std::min<std::uint32_t>(infoSize, 40))
        return std::nullopt;

    std::int64_t width = 0;
    std::int64_t height = 0;
    BitmapLayout layout;
    std::uint64_t paletteEntries = 0;
    if (core) {
        width = le16(head, 18);
        height = le16(head, 20);
        layout.bitCount = static_cast<int>(le16(head, 24));
    } else {
        width = static_cast<std::int32_t>(le32(head, 18));
        height = static_cast<std::int32_t>(le32(head, 22));
        layout.bitCount = static_cast<int>(le16(head, 28));
        layout.compression = le32(head, 30);
        paletteEntries = le32(head, 46);
    }

    // A negative height means rows from the top; INT_MIN has no positive twin.
    if (width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;
    const std::int64_t rows = height < 0 ? -height : height;
    if (width > bitmapMaxPixels || rows > bitmapMaxPixels || width * rows > bitmapMaxPixels) return std::nullopt;
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(rows);

    const int bits = layout.bitCount;
    switch (layout.compression) {
    case 0:
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
        break;
    case BitmapLayout::rle8:
        if (bits != 8) return std::nullopt;
        break;
    case BitmapLayout::rle4:
        if (bits != 4) return std::nullopt;
        break;
    case bitfields:
        if (bits != 16 && bits != 32) return std::nullopt;
        break;
    default: return std::nullopt;
    }

    // Where Qt finds the pixels: after the masks that follow a header too short to
    // hold them and after the palette (of 3-byte entries under a core header), or
    // further on where the file header says so.
    std::uint64_t tablesEnd = fileHeaderSize + infoSize;
    if (layout.compression == bitfields && infoSize < 108) tablesEnd += 12;
    if (bits <= 8) {
        if (paletteEntries == 0) paletteEntries = std::uint64_t{1} << bits;
        if (paletteEntries > 256) return std::nullopt;
        tablesEnd += paletteEntries * (core ? 3 : 4);
    }
    if (tablesEnd > fileSize || pixelOffset > fileSize) return std::nullopt;
    const std::uint64_t pixelStart = std::max(pixelOffset, tablesEnd);

    if (layout.runLengthEncoded()) {
        if (pixelStart >= fileSize) return std::nullopt;
    } else {
        // Rows are padded to whole 32-bit words.
        const std::uint64_t rowBits = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits);
        const std::uint64_t stride = (rowBits + 31) / 32 * 4;
        if (stride * static_cast<std::uint64_t>(rows) > fileSize - pixelStart) return std::nullopt;
    }
    return layout;
}

} // namespace nimbrel::view
