#pragma once

#include "ui/win32/HandledWindow.h"

#include <memory>
#include <vector>

namespace nimbrel {
class DrawingSurface;
}

namespace nimbrel::win32 {

// A drawing surface on the screen: its raster copied with StretchDIBits, each
// pixel of the raster as a block of whole screen pixels, never blended, so a
// one-pixel line stays one sharp line at any scale.
class SurfaceControl : private MessageHandler {
public:
    SurfaceControl(DrawingSurface& surface, HWND parent, std::weak_ptr<bool> alive);
    ~SurfaceControl() override;
    SurfaceControl(const SurfaceControl&) = delete;
    SurfaceControl& operator=(const SurfaceControl&) = delete;

    HWND handle() const { return window_; }
    // The raster's size in pixels.
    SIZE rasterSize() const;

private:
    std::optional<LRESULT> onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void paint(HDC dc) const;

    DrawingSurface& surface_;
    HWND window_;
    mutable std::vector<std::uint32_t> bgrx_;
};

} // namespace nimbrel::win32
