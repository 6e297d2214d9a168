#include "tests/support/rgb_image.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "engine/dib_layout.h"
#include "tests/support/peer_tools.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {

RgbImage toRgb(const ZDib& image) {
    RgbImage out;
    platform::Locked block(image.handle);
    if (!block || image.width <= 0 || image.height <= 0) return out;
    out.width = image.width;
    out.height = image.height;
    out.rgb.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    PALETTEENTRY table[256] = {};
    image.GetPalette(table);
    const std::uint8_t* pixels = block.data() + image.PixelOffset();
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* row =
            pixels + static_cast<std::size_t>(out.height - 1 - y) * image.rowBytes;
        std::uint8_t* target = &out.rgb[static_cast<std::size_t>(y) * out.width * 3];
        for (int x = 0; x < out.width; ++x) {
            if (image.depth == 24) {
                target[3 * x] = row[3 * x + 2];
                target[3 * x + 1] = row[3 * x + 1];
                target[3 * x + 2] = row[3 * x];
                continue;
            }
            unsigned index = 0;
            if (image.depth == 8) index = row[x];
            if (image.depth == 4) index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
            if (image.depth == 1) index = (row[x / 8] >> (7 - x % 8)) & 1;
            target[3 * x] = table[index].peRed;
            target[3 * x + 1] = table[index].peGreen;
            target[3 * x + 2] = table[index].peBlue;
        }
    }
    return out;
}

std::optional<RgbImage> readPpm(const std::string& path) {
    auto bytes = readFile(path);
    std::string text(bytes.begin(), bytes.end());
    std::istringstream in(text);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    if (magic != "P6" || maxval != 255 || width <= 0 || height <= 0) return std::nullopt;
    auto start = static_cast<std::size_t>(in.tellg()) + 1;
    std::size_t size = static_cast<std::size_t>(width) * height * 3;
    if (bytes.size() < start + size) return std::nullopt;
    RgbImage out{width, height, {}};
    out.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                   bytes.begin() + static_cast<std::ptrdiff_t>(start + size));
    return out;
}

std::optional<RgbImage> decodeWithConvert(const std::string& path) {
    if (convertTool().empty()) return std::nullopt;
    TempDir dir;
    std::string ppm = dir.path("peer.ppm");
    std::string command = quoted(convertTool()) + " " + quoted(path + "[0]") + " -depth 8 " +
                          quoted("ppm:" + ppm) + " 2>/dev/null";
    if (run(command) != 0) return std::nullopt;
    return readPpm(ppm);
}

std::string describeDifference(const RgbImage& ours, const RgbImage& theirs) {
    std::ostringstream out;
    if (ours.width != theirs.width || ours.height != theirs.height) {
        out << "size " << ours.width << "x" << ours.height << " vs " << theirs.width << "x"
            << theirs.height;
        return out.str();
    }
    for (std::size_t i = 0; i < ours.rgb.size() && i < theirs.rgb.size(); ++i) {
        if (ours.rgb[i] != theirs.rgb[i]) {
            std::size_t pixel = i / 3;
            out << "pixel (" << pixel % ours.width << ", " << pixel / ours.width << ") channel "
                << i % 3 << ": " << int(ours.rgb[i]) << " vs " << int(theirs.rgb[i]);
            return out.str();
        }
    }
    return "same";
}

}  // namespace pm32::test
