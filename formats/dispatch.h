#pragma once

#include <string>

#include "engine/zdib.h"
#include "formats/format_codes.h"
#include "formats/load_params.h"

namespace pm32 {

// The format a load or store uses for an ImageFormat value: 0 identifies by
// the file name. Fails with err::BadFile when that leaves "any", "paintbrush" or an
// unrecognised name; 11 and 12 come back for the caller to ignore.
ErrorNumber ResolveFormat(int imageFormat, const std::string& path, FormatCode& format);

// Whether a store accepts this compression value for the format: 0 or err::BadCompression.
ErrorNumber CheckStoreCompression(int format, int compression);

// Fills the empty image record from the file with the reader of the format,
// or sets its error number; on success the caller takes the record's DIB.
void LoadFile(ZDib& image, const std::string& path, int format, int imageNumber,
              const ZLoadParams& params);

// Writes the image record with the writer of the format after checking the
// compression value; the result is in its error number. Every writer puts a
// complete new file in the target's place or, on failure, leaves the file
// that was there (platform::ReplacementFile).
void StoreFile(ZDib& image, const std::string& path, int format, int compression, bool append,
               int writeOption);

}  // namespace pm32
