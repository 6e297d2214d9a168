#pragma once

#include <string>

#include "engine/zdib.h"

namespace pm32 {

// Fills the empty image record from a PCX file, or sets its error number; on
// failure nothing is left allocated.
void LoadPCX(ZDib& image, const std::string& path);

// Writes the image record as a run-length coded PCX file; the result is in
// its error number.
void StorePCX(ZDib& image, const std::string& path);

}  // namespace pm32
