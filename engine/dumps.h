#pragma once

#include <span>
#include <string>

#include "engine/errors.h"
#include "platform/gdi_palette.h"

namespace pm32 {

// Writes the list of every control and engine message; err::OpenFileFailure, err::WriteFileFailure
// or err::CloseFileFailure when the file cannot be created, written or closed (an existing file is
// then left as it was).
ErrorNumber WriteMessageList(const std::string& path);

// Appends the palette dump: count entries in use out of up to 256 given
// (missing ones print as zeros). Returns status 0, or 4 when the file cannot
// be opened or written; the file is then left as it was.
int AppendPaletteDump(const std::string& path, std::uint32_t count,
                      std::span<const platform::PALETTEENTRY> entries);

}  // namespace pm32
