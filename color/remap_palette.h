#pragma once

#include "engine/zdib.h"
#include "platform/gdi_palette.h"

namespace pm32 {

// The palette image remapped onto a palette, into a DIB the caller owns: each
// colour-table entry is matched to the palette's nearest entry (the system's
// nearest-index service), the pixels are translated through those matches
// and the colour table becomes the palette's entries. No dithering.
// A 24-bit image gives err::BadDepth, an invalid palette err::InvalidPalette, a palette with more
// entries than the image's depth holds err::PaletteDepthMismatch.
ErrorNumber RemapToPalette(HGLOBAL image, platform::HPALETTE palette, HGLOBAL& result);

}  // namespace pm32
