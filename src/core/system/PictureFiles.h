#pragma once

#include "core/base/Picture.h"

#include <string>

namespace nimbrel {

// Windows bitmap files on disk.
class PictureFiles {
public:
    virtual ~PictureFiles() = default;
    // True when a file of that name exists, of any kind.
    virtual bool exists(const std::string& path) = 0;
    // Loads a bitmap of any kind a user may supply; RuntimeError 53 "File not found" or
    // 481 "Invalid picture" when it cannot.
    virtual Picture load(const std::string& path) = 0;
    // Saves the picture as a 24-bit bitmap, replacing the file at once; RuntimeError 75
    // "Path/File access error" when it cannot be written.
    virtual void save(const Picture& picture, const std::string& path) = 0;
};

} // namespace nimbrel
