#pragma once

#include "core/Picture.h"

#include <functional>
#include <string>

namespace nimbrel {

class DrawingSurface;
class PictureFiles;
class Trap;

// A surface's background from a bitmap in the program directory: when the
// file is missing, a grid of the given size is drawn, taken as the
// surface's background and saved; then the file is loaded. A user's own
// bitmap in its place is shown instead. Each failing step is reported
// through the trap and the next one runs. True when the background came
// from the file.
bool prepareBackground(PictureFiles& files, const std::string& path, DrawingSurface& surface, int gridWidth,
                       int gridHeight, const std::function<void(DrawingSurface&)>& drawGrid, const Trap& trap);

} // namespace nimbrel
