#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format_codes.h"

namespace pm32 {

// The format a file's first bytes declare: BMP, GIF, JPEG, PNG, TIFF (either
// byte order), PCX, or Targa when nothing else claims them and the header is
// one the Targa reader could take; kFormatUnrecognised otherwise. For bytes
// whose name says nothing, such as a database column's.
FormatCode IdentifyFormatByContent(std::span<const std::uint8_t> head);

// The same for the first bytes of a file; kFormatUnrecognised when it cannot be read.
FormatCode IdentifyFileByContent(const std::string& path);

}  // namespace pm32
