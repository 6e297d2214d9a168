#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "control/picture.h"

namespace pm32::control {

// The persisted text of a picture: empty for an empty picture, else its
// type number, hot spot and image as PNG in base64, separated by ';':
//   3;4;4;iVBORw0KGgoAAAANSUhEUgAA...
// The image keeps its pixels as 8-bit red, green, blue and alpha.
std::string PictureText(const Picture& picture);

// The picture of such a text; null when the text is malformed: an unknown
// type, a hot spot off the image, text that is not base64 or not a PNG.
std::shared_ptr<Picture> ParsePictureText(std::string_view text);

}  // namespace pm32::control
