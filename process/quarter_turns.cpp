#include <algorithm>
#include <cstring>

#include "process/byte_pixels.h"
#include "process/pixel_moves.h"

namespace pm32 {
namespace {

// Square tiles keep both the rows read and the rows written in cache.
constexpr std::int32_t kTile = 64;

// Destination memory row t, column j takes source memory row j, column
// width - 1 - t at 90 degrees; row height - 1 - j, column t at 270.
void transpose(std::span<std::uint8_t* const> in, std::span<std::uint8_t* const> out,
               std::int32_t sourceWidth, std::size_t pixelBytes, bool clockwise) {
    const auto outRows = static_cast<std::int32_t>(out.size());
    const auto outColumns = static_cast<std::int32_t>(in.size());
    for (std::int32_t t0 = 0; t0 < outRows; t0 += kTile)
        for (std::int32_t j0 = 0; j0 < outColumns; j0 += kTile)
            for (std::int32_t t = t0; t < std::min(t0 + kTile, outRows); ++t) {
                const std::int32_t column = clockwise ? sourceWidth - 1 - t : t;
                const std::size_t from = pixelBytes * static_cast<std::size_t>(column);
                std::uint8_t* target = out[static_cast<std::size_t>(t)];
                for (std::int32_t j = j0; j < std::min(j0 + kTile, outColumns); ++j) {
                    const std::int32_t row = clockwise ? j : outColumns - 1 - j;
                    std::memcpy(target + pixelBytes * static_cast<std::size_t>(j),
                                in[static_cast<std::size_t>(row)] + from, pixelBytes);
                }
            }
}

// Destination row k is source row height - 1 - k read backwards.
void halfTurn(std::span<std::uint8_t* const> in, std::span<std::uint8_t* const> out,
              std::int32_t width, std::size_t pixelBytes) {
    for (std::size_t k = 0; k < out.size(); ++k) {
        const std::uint8_t* source = in[in.size() - 1 - k];
        std::uint8_t* target = out[k];
        for (std::int32_t x = 0; x < width; ++x)
            std::memcpy(target + pixelBytes * static_cast<std::size_t>(x),
                        source + pixelBytes * static_cast<std::size_t>(width - 1 - x), pixelBytes);
    }
}

}  // namespace

ErrorNumber TurnQuarters(ZDib& source, int degrees, HGLOBAL& result) {
    const bool sideways = degrees != 180;
    ZDib turned;
    if (ErrorNumber n = MakeImageLike(source, sideways ? source.height : source.width,
                                      sideways ? source.width : source.height, turned);
        n != 0)
        return n;
    auto in = source.BuildRowTable();
    auto out = turned.BuildRowTable();
    if (in.empty() || out.empty()) return err::InvalidPicture;
    const std::size_t pixelBytes = source.depth / 8;
    if (sideways)
        transpose(in, out, source.width, pixelBytes, degrees == 90);
    else
        halfTurn(in, out, source.width, pixelBytes);
    source.DiscardRowTable();
    turned.CommitRowTable();
    result = turned.Release();
    return 0;
}

}  // namespace pm32
