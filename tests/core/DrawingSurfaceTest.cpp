#include "core/controls/DrawingSurface.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

constexpr Colour back = 0x00102030;
constexpr Colour ink = 0x00FFFFFF;

// A picture whose every pixel tells where it came from.
Picture numbered(int width, int height)
{
    Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.at(x, y) = static_cast<Colour>(0x010000 * y + x + 1);
    return picture;
}

TEST(DrawingSurfaceTest, ClearingShowsAPictureSmallerThanTheSurfaceAtTheTopLeftAndTheColourAroundIt)
{
    DrawingSurface surface(5, 4, back);
    surface.setBackground(numbered(3, 2));
    surface.line(0, 3, 5, 3, ink);
    surface.line(0, 0, 5, 0, ink);
    surface.clear();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const Colour expected = x < 3 && y < 2 ? static_cast<Colour>(0x010000 * y + x + 1) : back;
            EXPECT_EQ(surface.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(DrawingSurfaceTest, ClearingShowsTheVisiblePartOfALargerPictureAndNothingElse)
{
    DrawingSurface surface(3, 2, back);
    surface.setBackground(numbered(6, 5));
    surface.line(0, 1, 3, 1, ink);
    surface.clear();
    EXPECT_EQ(surface.image(), numbered(3, 2));
    EXPECT_EQ(surface.background().width, 3);
    EXPECT_EQ(surface.background().height, 2);
}

TEST(DrawingSurfaceTest, AKeptDrawingRunsOnlyWhenThePixelsAreLookedAtAndShowsTheLatestState)
{
    DrawingSurface surface(4, 1, back);
    int drawings = 0;
    int changes = 0;
    int row = 0;
    surface.changed.connect([&] { ++changes; });
    surface.setDrawing([&](DrawingSurface& s) {
        ++drawings;
        s.clear();
        s.line(row, 0, row + 1, 0, ink);
    });
    for (const int r : {0, 1, 2}) {
        row = r;
        surface.redraw();
    }
    EXPECT_EQ(drawings, 0) << "nobody looked";
    EXPECT_EQ(changes, 3) << "one change told for each redraw, none for the lines drawn at the look";
    EXPECT_EQ(surface.pixel(2, 0), ink);
    EXPECT_EQ(surface.pixel(0, 0), back);
    surface.image();
    EXPECT_EQ(drawings, 1) << "drawn once until the next redraw";
    EXPECT_EQ(changes, 3);
}

} // namespace
} // namespace nimbrel
