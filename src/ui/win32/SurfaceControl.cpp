#include "ui/win32/SurfaceControl.h"

#include "core/controls/DrawingSurface.h"

namespace nimbrel::win32 {

namespace {
constexpr const wchar_t* className = L"NimbrelSurface";
}

SurfaceControl::SurfaceControl(DrawingSurface& surface, HWND parent, std::weak_ptr<bool> alive) : surface_(surface)
{
    registerHandledClass(className);
    window_ = createHandledWindow(*this, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, RECT{}, parent);
    surface_.changed.connect([this, alive] {
        // Many lines of one drawing make one paint: the system merges the invalid areas.
        if (!alive.expired()) InvalidateRect(window_, nullptr, FALSE);
    });
}

SurfaceControl::~SurfaceControl()
{
    if (IsWindow(window_)) DestroyWindow(window_);
}

SIZE SurfaceControl::rasterSize() const { return SIZE{surface_.pixelWidth(), surface_.pixelHeight()}; }

std::optional<LRESULT> SurfaceControl::onMessage(HWND window, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    switch (message) {
    case WM_PAINT: return paintWindow(window, [this](HDC dc) { paint(dc); });
    case WM_ERASEBKGND: return 1; // every pixel is painted from the raster
    default: return std::nullopt;
    }
}

void SurfaceControl::paint(HDC dc) const
{
    RECT area;
    GetClientRect(window_, &area);
    const Picture& raster = surface_.image();
    if (raster.empty()) {
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    // The raster's 0x00BBGGRR pixels as the device-independent bitmap's blue, green, red and unused bytes.
    bgrx_.resize(raster.pixels.size());
    for (std::size_t i = 0; i < bgrx_.size(); ++i) {
        const Colour c = raster.pixels[i];
        bgrx_[i] = static_cast<std::uint32_t>(blue(c)) | (static_cast<std::uint32_t>(green(c)) << 8) |
                   (static_cast<std::uint32_t>(red(c)) << 16);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = raster.width;
    info.bmiHeader.biHeight = -raster.height; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // Nearest pixel, never a blend.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, area.right, area.bottom, 0, 0, raster.width, raster.height, bgrx_.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

} // namespace nimbrel::win32
