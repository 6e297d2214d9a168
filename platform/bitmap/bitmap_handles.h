#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>

#include "platform/handle_registry.h"

namespace pm32::platform {

// Device-dependent bitmaps addressed by 32-bit handles.
using HBITMAP = Handle32;

// What GetObject tells of a bitmap: its pixels and the depth it was made at.
// A monochrome bitmap holds a 1-bit image, a palette bitmap an indexed one,
// and a bitmap compatible with the screen a 32-bit one.
struct BitmapObject {
    QImage pixels;
    std::uint32_t bitsPerPixel = 32;
    std::uint32_t planes = 1;
};

// Registers a bitmap; the caller owns the handle and deletes it with
// DeleteBitmap. Returns 0 for a null image or a depth other than 1, 4, 8 or
// 32, or an image whose format cannot hold that depth.
HBITMAP CreateBitmapObject(QImage pixels, std::uint32_t bitsPerPixel);

// The bitmap behind a handle, or null for a stale, foreign or zero handle.
// Valid until the bitmap is deleted.
const BitmapObject* FindBitmap(HBITMAP bitmap);

// Deletes the bitmap; false for a bad handle.
bool DeleteBitmap(HBITMAP bitmap);

// Number of live bitmaps, for leak checks.
std::size_t LiveBitmapCount();

}  // namespace pm32::platform
