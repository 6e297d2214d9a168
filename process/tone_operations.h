#pragma once

#include "engine/zdib.h"

namespace pm32 {

// Tone operations: each maps every channel value through one 256-entry table,
// into a copy at the same depth that the caller owns. A palette image changes
// only its colour table; a 24-bit image every stored byte, padding included.

// Brightness and contrast in 0..1; (0.5, 0.5) leaves the image as it is.
ErrorNumber BrightContDib(HGLOBAL image, double brightness, double contrast, HGLOBAL& result);

// Gamma in 1..10; 5 leaves the image as it is, lower brightens.
ErrorNumber GammaDib(HGLOBAL image, double gamma, HGLOBAL& result);

ErrorNumber NegateDib(HGLOBAL image, HGLOBAL& result);

}  // namespace pm32
