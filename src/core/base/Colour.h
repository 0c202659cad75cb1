#pragma once

#include <cstdint>

namespace nimbrel {

// A colour in the 0x00BBGGRR form the window's layout is written in.
using Colour = std::uint32_t;

constexpr int red(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int green(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr Colour rgb(int r, int g, int b)
{
    return static_cast<Colour>(r & 0xFF) | (static_cast<Colour>(g & 0xFF) << 8) | (static_cast<Colour>(b & 0xFF) << 16);
}

namespace colours {
constexpr Colour black = 0x000000;
constexpr Colour white = 0xFFFFFF;
constexpr Colour blue = 0xFF0000;
constexpr Colour orange = 0x0099FF;
// The dark of the banner and the navigation column.
constexpr Colour slate = 0x3D2D1F;
} // namespace colours

} // namespace nimbrel
