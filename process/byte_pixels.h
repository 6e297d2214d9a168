#pragma once

#include <functional>

#include "engine/zdib.h"

namespace pm32 {

// Moves pixels of an image whose pixels are whole bytes (8 or 24 bits) into
// a new image it makes; returns 0 or an error number.
using BytePixelMove = std::function<ErrorNumber(ZDib& source, HGLOBAL& result)>;

// Runs a pixel move on any depth: 1- and 4-bit images are unpacked to one
// byte per pixel (indices kept) for the move and packed again afterwards.
// The result keeps depth and colour table; the caller owns it.
ErrorNumber MoveBytePixels(HGLOBAL image, const BytePixelMove& move, HGLOBAL& result);

// A new owned image of the given size at the source's depth, carrying its
// colour table, every pixel 0.
ErrorNumber MakeImageLike(const ZDib& source, std::int32_t width, std::int32_t height,
                          ZDib& created);

}  // namespace pm32
