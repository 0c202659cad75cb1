#include "BackgroundPicture.h"

#include "core/DrawingSurface.h"
#include "core/PictureFiles.h"
#include "core/Trap.h"

namespace nimbrel {

bool prepareBackground(PictureFiles& files, const std::string& path, DrawingSurface& surface, int gridWidth,
                       int gridHeight, const std::function<void(DrawingSurface&)>& drawGrid, const Trap& trap)
{
    bool missing = false;
    trap([&] { missing = !files.exists(path); });
    if (missing) {
        trap([&] {
            DrawingSurface grid(gridWidth, gridHeight, colours::black);
            drawGrid(grid);
            surface.setBackground(grid.image());
        });
        trap([&] { files.save(surface.background(), path); });
    }
    bool loaded = false;
    trap([&] {
        surface.setBackground(files.load(path));
        loaded = true;
    });
    return loaded;
}

} // namespace nimbrel
