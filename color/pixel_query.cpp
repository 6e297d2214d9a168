#include "color/pixel_query.h"

#include <array>

#include "engine/errors.h"
#include "engine/pixel_access.h"

namespace pm32 {
namespace {

// The memory row (rows are stored bottom-up) of a pixel inside the image.
ErrorNumber locate(ZDib& image, std::int32_t x, std::int32_t y, const std::uint8_t*& row) {
    if (x < 0 || x >= image.width) return err::XOutOfBounds;
    if (y < 0 || y >= image.height) return err::YOutOfBounds;
    auto rows = image.BuildRowTable();
    if (rows.empty()) return err::InvalidPicture;
    row = rows[static_cast<std::size_t>(image.height - 1 - y)];
    return 0;
}

}  // namespace

ErrorNumber PixelColor(HGLOBAL handle, std::int32_t x, std::int32_t y, std::uint32_t& color) {
    color = 0;
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    const std::uint8_t* row = nullptr;
    if (ErrorNumber n = locate(image, x, y, row); n != 0) return n;
    if (image.depth == 24) {
        const std::uint8_t* pixel = row + 3 * static_cast<std::size_t>(x);
        color = pixel[2] | pixel[1] << 8 | static_cast<std::uint32_t>(pixel[0]) << 16;
        return 0;
    }
    std::array<PALETTEENTRY, 256> table{};
    image.GetPalette(table);
    const PALETTEENTRY& e = table[IndexAt(row, x, image.depth)];
    color = e.peRed | e.peGreen << 8 | static_cast<std::uint32_t>(e.peBlue) << 16 |
            static_cast<std::uint32_t>(e.peFlags) << 24;
    return 0;
}

ErrorNumber PixelIndex(HGLOBAL handle, std::int32_t x, std::int32_t y, unsigned& index) {
    index = 0;
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (image.depth == 24) return err::BadDepth;
    const std::uint8_t* row = nullptr;
    if (ErrorNumber n = locate(image, x, y, row); n != 0) return n;
    index = IndexAt(row, x, image.depth);
    return 0;
}

}  // namespace pm32
