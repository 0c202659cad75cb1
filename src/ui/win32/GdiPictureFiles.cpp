#include "ui/win32/GdiPictureFiles.h"

#include "core/base/RuntimeError.h"
#include "platform/windows/WholeFile.h"
#include "platform/windows/WideText.h"

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace nimbrel::win32 {

namespace {

// The largest picture accepted, in pixels: far beyond any surface of the program.
constexpr std::int64_t maxPixels = std::int64_t{4096} * 4096;

RuntimeError invalidPicture() { return RuntimeError(481, "Invalid picture"); }

// The bitmap's pixels as 32-bit rows from the top, in the 0x00BBGGRR form of the program's colours.
Picture picturePixels(HBITMAP bitmap)
{
    BITMAP shape{};
    if (GetObjectW(bitmap, sizeof shape, &shape) == 0) throw invalidPicture();
    const std::int64_t width = shape.bmWidth;
    const std::int64_t height = shape.bmHeight < 0 ? -std::int64_t{shape.bmHeight} : shape.bmHeight;
    if (width <= 0 || height <= 0 || width * height > maxPixels) throw invalidPicture();

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> bgrx(static_cast<std::size_t>(width * height));
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), bgrx.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) throw invalidPicture();

    Picture picture(static_cast<int>(width), static_cast<int>(height));
    for (std::size_t i = 0; i < bgrx.size(); ++i) {
        const std::uint32_t p = bgrx[i]; // blue in the low byte, red in the third
        picture.pixels[i] = rgb(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                                static_cast<int>(p & 0xFF));
    }
    return picture;
}

template <typename T> void append(std::string& bytes, T value)
{
    for (std::size_t i = 0; i < sizeof(T); ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 24-bit bitmap file, rows from the bottom, each padded to four bytes.
std::string bitmapFile(const Picture& picture)
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(picture.width) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(picture.height);
    constexpr std::uint32_t headers = 14 + 40;
    std::string bytes;
    bytes.reserve(headers + imageBytes);
    bytes += "BM";
    append<std::uint32_t>(bytes, headers + imageBytes);
    append<std::uint32_t>(bytes, 0);
    append<std::uint32_t>(bytes, headers);
    append<std::uint32_t>(bytes, 40);
    append<std::int32_t>(bytes, picture.width);
    append<std::int32_t>(bytes, picture.height);
    append<std::uint16_t>(bytes, 1);
    append<std::uint16_t>(bytes, 24);
    for (const std::uint32_t field : {0u, imageBytes, 3780u, 3780u, 0u, 0u}) append(bytes, field); // 96 dpi
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::size_t start = bytes.size();
        for (int x = 0; x < picture.width; ++x) {
            const Colour c = picture.at(x, y);
            bytes.push_back(static_cast<char>(blue(c)));
            bytes.push_back(static_cast<char>(green(c)));
            bytes.push_back(static_cast<char>(red(c)));
        }
        bytes.append(rowBytes - (bytes.size() - start), '\0');
    }
    return bytes;
}

} // namespace

bool GdiPictureFiles::exists(const std::string& path)
{
    return GetFileAttributesW(wide::fromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Picture GdiPictureFiles::load(const std::string& path)
{
    const std::wstring file = wide::fromUtf8(path);
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw RuntimeError(53, "File not found");
    }
    const auto bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (bitmap == nullptr) throw invalidPicture();
    try {
        Picture picture = picturePixels(bitmap);
        DeleteObject(bitmap);
        return picture;
    } catch (...) {
        DeleteObject(bitmap);
        throw;
    }
}

void GdiPictureFiles::save(const Picture& picture, const std::string& path)
{
    if (!wholefile::replace(wide::fromUtf8(path), bitmapFile(picture))) throw RuntimeError(75, "Path/File access error");
}

} // namespace nimbrel::win32
