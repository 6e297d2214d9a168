#pragma once

#include <cstdint>
#include <vector>

namespace pm32::test {

// The smallest GIF87a file: one 1 x 1 image whose pixel is entry 1 (white) of
// a two-colour global table.
inline std::vector<std::uint8_t> OnePixelGif87a() {
    return {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0x80, 0, 0,
            // Global colour table: black, white.
            0, 0, 0, 255, 255, 255,
            // Image descriptor at (0, 0), 1 x 1, no local table.
            0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0,
            // LZW minimum code size 2; codes clear (4), 1, end (5) in 3 bits.
            2, 2, 0x4C, 0x01, 0,
            // Trailer.
            0x3B};
}

}  // namespace pm32::test
