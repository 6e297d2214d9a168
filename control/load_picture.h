#pragma once

#include <memory>
#include <string>

#include "control/picture.h"
#include "platform/toolkit_export.h"

namespace pm32::control {

// A picture object read from a file, as Basic's LoadPicture makes one: an
// icon for ".ico" and ".cur" files, a bitmap for any other image file Qt
// reads; an empty path gives an empty picture. Null when the file cannot be
// read as an image.
PM32_TOOLKIT_API std::shared_ptr<Picture> LoadPicture(const std::string& path);

}  // namespace pm32::control
