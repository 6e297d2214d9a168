#pragma once

#include <string>

#include "engine/zdib.h"
#include "formats/load_params.h"

namespace pm32::control {

class ZPm32;

// The load options the control's Load* properties describe.
ZLoadParams LoadParamsOf(const ZPm32& control);

// Reads image ImageNumber of path as Load does (format from ImageFormat or the
// extension, the load options) into image, without giving it to the control.
// Returns false, with image empty, for the formats a load passes over; raises
// the load's error number.
bool ReadControlFile(const ZPm32& control, const std::string& path, ZDib& image);

}  // namespace pm32::control
