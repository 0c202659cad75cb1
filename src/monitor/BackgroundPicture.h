#pragma once

#include "core/base/Picture.h"

#include <functional>
#include <string>

namespace nimbrel {

class DrawingSurface;
class PictureFiles;
class Trap;

// A surface's background from a bitmap in the program directory: the file
// is loaded, so that a user's own bitmap in its place is shown. When it is
// missing or no picture, a grid of the given size is drawn, taken as the
// surface's background and saved in its place. Each failing step is
// reported through the trap and the next one runs; the surface always ends
// with a background.
void prepareBackground(PictureFiles& files, const std::string& path, DrawingSurface& surface, int gridWidth,
                       int gridHeight, const std::function<void(DrawingSurface&)>& drawGrid, const Trap& trap);

} // namespace nimbrel
