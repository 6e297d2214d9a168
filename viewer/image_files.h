#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "viewer/picbuf.h"

namespace pm32::viewer {

// The control's format codes the viewer names itself.
inline constexpr int kAnyFormat = 0;
inline constexpr int kTiffFormat = 1;
inline constexpr int kBmpFormat = 3;
inline constexpr int kJpegFormat = 7;

// The format code to load or store a file with: 0 (the control decides by
// extension) except for the extensions the control does not know: ".rle"
// files are run-length BMPs, and ".jpeg", ".jpe" and ".tiff" are the long
// spellings of known ones.
int FormatOfPath(const QString& path);

// The extensions the viewer opens, lower case with the dot.
const QStringList& ReadableExtensions();
bool IsReadableImage(const QString& path);

// Loads the file into the control, with its LoadModernFiles set to
// modernFiles; 0 or the control's error number.
std::uint32_t LoadImage(Picbuf& control, const QString& path, int format, bool modernFiles);

// Stores the control's image; 0 or the control's error number. JPEG files
// take the quality, every other format its plain (or only) compression.
std::uint32_t StoreImage(Picbuf& control, const QString& path, int format, int jpegQuality);

// Stores the control's image with the control's format code, compression
// and write option as given; 0 or the control's error number.
std::uint32_t StoreImageAs(Picbuf& control, const QString& path, int format, int compression,
                           int writeOption);

}  // namespace pm32::viewer
