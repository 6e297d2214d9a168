#pragma once

#include <QImage>
#include <span>

#include "engine/zdib.h"

namespace pm32::control {

// The device-dependent bitmap a DIB becomes: a monochrome image (each colour
// table entry shown as the nearer of black and white) for 1 bit, else an
// image compatible with a true-colour screen. Null when the DIB cannot be read.
struct DeviceBitmap {
    QImage pixels;
    std::uint32_t bitsPerPixel = 0;
};
DeviceBitmap BitmapOfDib(HGLOBAL dib);

// The depth a bitmap's pixels were made at: 1 for monochrome, 8 for indexed
// images, 32 for anything else.
std::uint32_t BitsPerPixelOf(const QImage& pixels);

// A new DIB from a bitmap made at the given depth (above 8 bits it becomes
// 24). The palette's entries, as many as fit, become the colour table; with
// no palette the bitmap's own colour table stands in for the system palette,
// and a 4-bit bitmap without one gets the standard 16 colours. The caller
// owns the result. Raises err::NoBitmap for a bitmap that cannot be described and
// err::OperationFailure when its pixels cannot be read.
HGLOBAL DibOfBitmap(const QImage& pixels, std::uint32_t bitsPerPixel,
                    std::span<const PALETTEENTRY> palette);

}  // namespace pm32::control
