#include "ui/win32/GaugeIcon.h"

#include <algorithm>
#include <cstdint>

namespace nimbrel::win32 {

namespace {

// Opaque pixels of a 32-bit top-down bitmap with alpha, in its blue, green, red, alpha order.
constexpr std::uint32_t opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | b;
}

constexpr std::uint32_t lowColour = opaque(214, 39, 40);
constexpr std::uint32_t fineColour = opaque(44, 160, 44);
constexpr std::uint32_t frameColour = opaque(20, 20, 20);
constexpr std::uint32_t emptyColour = opaque(235, 235, 235);

} // namespace

HICON drawGaugeIcon(int percent, int size)
{
    percent = std::clamp(percent, 0, 100);
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = size;
    header.bV5Height = -size; // rows from the top
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;

    const HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    const HBITMAP colour =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (colour == nullptr) return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill(pixels, pixels + size * size, 0u);

    // The chip keeps the left part; the bar takes a fifth of the width, at least three pixels with its frame.
    const int barWidth = std::max(3, size / 5 + 1);
    const int chipWidth = size - barWidth;
    const HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(memory, colour);
    const HICON program = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                        chipWidth, chipWidth, LR_DEFAULTCOLOR));
    if (program != nullptr) {
        DrawIconEx(memory, 0, (size - chipWidth) / 2, program, chipWidth, chipWidth, 0, nullptr, DI_NORMAL);
        DestroyIcon(program);
    }
    GdiFlush();

    const int filled = ((size - 2) * percent + 50) / 100;
    for (int y = 0; y < size; ++y) {
        for (int x = chipWidth; x < size; ++x) {
            const bool edge = y == 0 || y == size - 1 || x == chipWidth || x == size - 1;
            const bool full = y >= size - 1 - filled;
            pixels[y * size + x] = edge ? frameColour : full ? (percent < 20 ? lowColour : fineColour) : emptyColour;
        }
    }
    SelectObject(memory, previous);
    DeleteDC(memory);

    // The alpha channel decides; the mask only has to exist.
    const HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    const HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

} // namespace nimbrel::win32
