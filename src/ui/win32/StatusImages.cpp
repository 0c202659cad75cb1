#include "ui/win32/StatusImages.h"

#include <algorithm>

namespace nimbrel::win32 {

namespace {

// A colour no image uses, which the list shows as transparent.
constexpr COLORREF maskColour = RGB(255, 0, 255);

void drawImage(HDC dc, int size, bool good)
{
    RECT all{0, 0, size, size};
    const HBRUSH mask = CreateSolidBrush(maskColour);
    FillRect(dc, &all, mask);
    DeleteObject(mask);

    const HBRUSH disc = CreateSolidBrush(good ? RGB(0x2e, 0x8b, 0x57) : RGB(0xc0, 0x39, 0x2b));
    const HGDIOBJ previousBrush = SelectObject(dc, disc);
    const HGDIOBJ previousPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, 0, 0, size + 1, size + 1);
    SelectObject(dc, previousPen);
    SelectObject(dc, previousBrush);
    DeleteObject(disc);

    const HPEN mark = CreatePen(PS_SOLID, std::max(2, size / 8), RGB(255, 255, 255));
    SelectObject(dc, mark);
    const auto at = [size](int sixteenths) { return sixteenths * size / 16; };
    if (good) {
        const POINT tick[] = {{at(4), at(8)}, {at(7), at(11)}, {at(12), at(5)}};
        Polyline(dc, tick, 3);
    } else {
        MoveToEx(dc, at(5), at(5), nullptr);
        LineTo(dc, at(11), at(11));
        MoveToEx(dc, at(11), at(5), nullptr);
        LineTo(dc, at(5), at(11));
    }
    SelectObject(dc, previousPen);
    DeleteObject(mark);
}

} // namespace

HIMAGELIST makeStatusImages(int size)
{
    const HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 2, 0);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    for (const bool good : {true, false}) {
        const HBITMAP picture = CreateCompatibleBitmap(screen, size, size);
        const HGDIOBJ previous = SelectObject(dc, picture);
        drawImage(dc, size, good);
        SelectObject(dc, previous);
        ImageList_AddMasked(images, picture, maskColour);
        DeleteObject(picture);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return images;
}

} // namespace nimbrel::win32
