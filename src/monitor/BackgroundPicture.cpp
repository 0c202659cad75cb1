#include "BackgroundPicture.h"

#include "core/controls/DrawingSurface.h"
#include "core/system/PictureFiles.h"
#include "core/base/Trap.h"

namespace nimbrel {

void prepareBackground(PictureFiles& files, const std::string& path, DrawingSurface& surface, int gridWidth,
                       int gridHeight, const std::function<void(DrawingSurface&)>& drawGrid, const Trap& trap)
{
    bool present = false;
    trap([&] { present = files.exists(path); });
    // A file that is there but no picture (cut short, absurd dimensions) is reported by the load, then drawn
    // anew like a missing one.
    if (present && trap([&] { surface.setBackground(files.load(path)); })) return;
    trap([&] {
        DrawingSurface grid(gridWidth, gridHeight, colours::black);
        drawGrid(grid);
        surface.setBackground(grid.image());
    });
    // A grid that cannot be saved (a full disk, a read-only folder) is still shown; the next start draws it again.
    trap([&] { files.save(surface.background(), path); });
}

} // namespace nimbrel
