#include "deco/picture_pixels.h"

#include <array>

#include "formats/dispatch.h"

namespace deco {

std::uint16_t readPicture(const std::string& path, RgbPicture& picture) {
    pm32::ZDib image;
    pm32::LoadFile(image, path, pm32::kFormatAny, 0, pm32::ZLoadParams{});
    if (image.error != 0) return image.error;
    std::array<pm32::PALETTEENTRY, 256> table{};
    image.GetPalette(table);
    auto rows = image.BuildRowTable();
    if (rows.empty()) return pm32::err::DibCannotLock;
    picture.width = image.width;
    picture.height = image.height;
    picture.rgb.resize(3 * static_cast<std::size_t>(image.width) *
                       static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = rows[static_cast<std::size_t>(image.height - 1 - y)];
        std::uint8_t* out = &picture.rgb[3 * static_cast<std::size_t>(y) * image.width];
        for (int x = 0; x < image.width; ++x, out += 3) {
            if (image.depth == 24) {
                out[0] = row[3 * x + 2];
                out[1] = row[3 * x + 1];
                out[2] = row[3 * x];
                continue;
            }
            int index = image.depth == 8   ? row[x]
                        : image.depth == 4 ? (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15
                                           : (row[x / 8] >> (7 - x % 8)) & 1;
            out[0] = table[index].peRed;
            out[1] = table[index].peGreen;
            out[2] = table[index].peBlue;
        }
    }
    image.DiscardRowTable();
    return 0;
}

}  // namespace deco
