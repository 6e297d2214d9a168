#pragma once

#include <string>

#include "engine/zdib.h"
#include "formats/format_codes.h"
#include "formats/load_params.h"

namespace pm32::control {

class ZPm32;

// The load options the control's Load* properties describe.
ZLoadParams LoadParamsOf(const ZPm32& control);

// The format a load of path uses: ImageFormat, or 0 by the name, as ever.
// With LoadModernFiles and ImageFormat 0 the file's first bytes decide when
// the name says nothing known (".jpeg", ".tiff", no extension) or names
// another format than the content is. Returns the resolution's error number.
ErrorNumber ResolveLoadFormat(const ZPm32& control, const std::string& path, FormatCode& format);

// Reads image ImageNumber of path as Load does (format from ImageFormat or the
// extension, the load options) into image, without giving it to the control.
// Returns false, with image empty, for the formats a load passes over; raises
// the load's error number.
bool ReadControlFile(const ZPm32& control, const std::string& path, ZDib& image);

}  // namespace pm32::control
