// A background bitmap as a user may supply it: the header check, then Qt's reader behind it under the
// program's allocation limit. Anything else than a picture is refused as "Invalid picture" (481).

#include "FuzzFolder.h"
#include "core/base/RuntimeError.h"
#include "ui/qt/BitmapHeaderCheck.h"
#include "ui/qt/QtPictureFiles.h"

#include <algorithm>
#include <cstdlib>
#include <span>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzFolder folder;
    const auto layout = view::checkBitmapHeader(std::span(data, std::min(size, view::bitmapHeadBytes)), size);
    const std::string path = folder.write("graphback.bmp", fuzz::bytesOf(data, size));
    view::QtPictureFiles files;
    try {
        const Picture picture = files.load(path);
        if (!layout || picture.width != layout->width || picture.height != layout->height) std::abort();
        if (picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height) std::abort();
    } catch (const RuntimeError& e) {
        if (e.number() != 481) std::abort();
    }
    return 0;
}
