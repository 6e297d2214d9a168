#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include "platform/global_memory.h"

namespace pm32::control {

// The screen bitmap of a DIB: each pixel as the colour its colour table (or
// its own bytes at 24 bits) gives, top row first. Null when the block is not
// a readable uncompressed DIB or the bitmap cannot be allocated. Indices past
// the colour table show black.
QImage BuildScreenBitmap(platform::HGLOBAL dib);

// Stretches the source rectangle of the bitmap onto the destination
// rectangle with nearest-neighbour sampling, as COLORONCOLOR does: destination
// pixel i shows source pixel i * source extent / destination extent. Only the
// part of the destination inside visible is drawn. False when the source
// rectangle is not inside the bitmap.
bool StretchColorOnColor(QPainter& painter, const QRect& destination, const QImage& bitmap,
                         const QRect& source, const QRect& visible);

}  // namespace pm32::control
