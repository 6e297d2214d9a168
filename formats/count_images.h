#pragma once

#include <string>

#include "engine/errors.h"

namespace pm32 {

// Counts the images in a file of the format (0 chooses by the name's last
// four characters). TIFF and GIF files are walked; every other format counts
// 1 without reading the file. On failure the count is 0. With modern files
// wanted, a TIFF file the walk refuses is counted by libtiff.
ErrorNumber CountFileImages(const std::string& path, int format, int& count, bool modern = false);

}  // namespace pm32
