#pragma once

#include <string>

#include "engine/zdib.h"

namespace pm32 {

// Fills the empty image record from a Targa file of image type 1, 2, 9 or 10
// as an 8-bit (colour-mapped) or 24-bit image; every failure gives err::BadFile and
// leaves nothing allocated.
void LoadTGA(ZDib& image, const std::string& path);

// Writes an 8-bit image as a colour-mapped file and a 24-bit image as a
// true-colour file; compression 0 writes the pixels as they are, 2 as
// run-length packets. The result is in the record's error number.
void StoreTGA(ZDib& image, const std::string& path, int compression);

}  // namespace pm32
