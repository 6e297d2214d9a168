#pragma once

#include <string_view>

namespace pm32 {

// Image format codes: 0 to 10 are the control's ImageFormat values; 11 to 13
// come only from identification.
enum FormatCode : int {
    kFormatAny = 0,
    kFormatTiff = 1,
    kFormatTarga = 2,
    kFormatBmp = 3,
    kFormatGif = 4,
    kFormatDib = 5,
    kFormatPcx = 6,
    kFormatJpeg = 7,
    kFormatPaintbrush = 8,
    kFormatFif = 9,
    kFormatPng = 10,
    kFormatQzi = 11,
    kFormatQzs = 12,
    kFormatUnrecognised = 13,
};

// The format named by the last four characters of the path, compared without
// case; 13 for anything else and for paths of four characters or fewer.
FormatCode IdentifyFormatByExtension(std::string_view path);

// The text the property page shows for an ImageFormat value.
std::string_view FormatCodeText(int code);

}  // namespace pm32
