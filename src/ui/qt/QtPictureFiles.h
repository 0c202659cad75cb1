#pragma once

#include "core/system/PictureFiles.h"

namespace nimbrel::view {

// Windows bitmap files: read by Qt's bitmap decoder after a check of their
// headers (BitmapHeaderCheck.h), written as 24-bit bitmaps that replace the old
// file in one step.
class QtPictureFiles : public PictureFiles {
public:
    bool exists(const std::string& path) override;
    Picture load(const std::string& path) override;
    void save(const Picture& picture, const std::string& path) override;
};

} // namespace nimbrel::view
