#pragma once

#include <QImage>

#include "platform/global_memory.h"

namespace pm32::control {

// The whole DIB converted at once, for those who hand it on as a picture
// (the clipboard, device-dependent bitmaps): each pixel as the colour its
// colour table (or its own bytes at 24 bits) gives, top row first. Null when
// the block is not a readable uncompressed DIB or the bitmap cannot be
// allocated. Indices past the colour table show black. The view converts only
// what it shows instead (ScreenPixels).
QImage BuildScreenBitmap(platform::HGLOBAL dib);

}  // namespace pm32::control
