#include <cstring>

#include "process/byte_pixels.h"
#include "process/pixel_moves.h"

namespace pm32 {

ErrorNumber MirrorPixels(ZDib& source, bool horizontal, bool vertical, HGLOBAL& result) {
    if (horizontal && vertical) return TurnQuarters(source, 180, result);
    ZDib mirrored;
    if (ErrorNumber n = MakeImageLike(source, source.width, source.height, mirrored); n != 0)
        return n;
    auto in = source.BuildRowTable();
    auto out = mirrored.BuildRowTable();
    if (in.empty() || out.empty()) return err::InvalidPicture;
    const std::size_t pixelBytes = source.depth / 8;
    for (std::size_t y = 0; y < in.size(); ++y) {
        if (vertical) {
            std::memcpy(out[y], in[in.size() - 1 - y], source.rowBytes);
            continue;
        }
        for (std::int32_t x = 0; x < source.width; ++x)
            std::memcpy(out[y] + pixelBytes * static_cast<std::size_t>(x),
                        in[y] + pixelBytes * static_cast<std::size_t>(source.width - 1 - x),
                        pixelBytes);
    }
    source.DiscardRowTable();
    mirrored.CommitRowTable();
    result = mirrored.Release();
    return 0;
}

}  // namespace pm32
