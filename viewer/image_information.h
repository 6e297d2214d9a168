#pragma once

#include <QString>
#include <cstdint>

namespace pm32::viewer {

// The texts of the information window's rows.
QString ImageTypeText(int bitsPerPixel);
// "1,234,567 Bytes": thousands separated by commas whatever the locale.
QString FileSizeText(std::int64_t bytes);
QString PixelsText(int pixels);
QString FormatText(int formatCode);
QString ModifiedText(bool modified);

// The format code a file of that name is read as when the control is given
// format 0: by its extension, as the control identifies it, with the
// viewer's own spellings (".rle", ".jpeg", ".tiff"); 0 when unknown.
int FormatCodeOfName(const QString& path);

}  // namespace pm32::viewer
