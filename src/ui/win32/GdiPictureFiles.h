#pragma once

#include "core/system/PictureFiles.h"

namespace nimbrel::win32 {

// Windows bitmap files, read by the system's own bitmap loader (every kind of bitmap
// it knows) and written as 24-bit bitmaps.
class GdiPictureFiles : public PictureFiles {
public:
    bool exists(const std::string& path) override;
    Picture load(const std::string& path) override;
    void save(const Picture& picture, const std::string& path) override;
};

} // namespace nimbrel::win32
