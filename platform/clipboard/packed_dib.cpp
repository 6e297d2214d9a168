#include "platform/clipboard/packed_dib.h"

#include <cstring>

namespace pm32::platform {
namespace {

constexpr std::size_t kHeaderSize = 40;

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> PackedDibFromImage(const QImage& source) {
    if (source.isNull()) return {};
    QImage image;
    std::uint32_t depth = 24;
    if (source.format() == QImage::Format_Mono || source.format() == QImage::Format_MonoLSB) {
        image = source.convertToFormat(QImage::Format_Mono);
        depth = 1;
    } else if (source.format() == QImage::Format_Indexed8) {
        image = source;
        depth = 8;
    } else {
        image = source.convertToFormat(QImage::Format_RGB888);
    }
    if (image.isNull()) return {};
    const auto width = static_cast<std::uint64_t>(image.width());
    const auto height = static_cast<std::uint64_t>(image.height());
    const std::uint64_t packed = depth == 24 ? 3 * width : depth == 8 ? width : (width + 7) / 8;
    const std::uint64_t rowBytes = (packed + 3) & ~std::uint64_t{3};
    const std::uint32_t tableSize = depth == 24 ? 0 : 1u << depth;
    // Qt images are limited to well under 2^31 bytes, so these sizes fit.
    std::vector<std::uint8_t> dib(kHeaderSize + 4 * tableSize + rowBytes * height);
    std::uint8_t* header = dib.data();
    put32(header, kHeaderSize);
    put32(header + 4, static_cast<std::uint32_t>(width));
    put32(header + 8, static_cast<std::uint32_t>(height));
    put16(header + 12, 1);
    put16(header + 14, depth);
    put32(header + 20, static_cast<std::uint32_t>(rowBytes * height));
    put32(header + 32, tableSize);
    const QList<QRgb> colors = image.colorTable();
    std::uint8_t* table = header + kHeaderSize;
    for (std::uint32_t i = 0; i < tableSize && i < static_cast<std::uint32_t>(colors.size()); ++i) {
        table[4 * i] = static_cast<std::uint8_t>(qBlue(colors[i]));
        table[4 * i + 1] = static_cast<std::uint8_t>(qGreen(colors[i]));
        table[4 * i + 2] = static_cast<std::uint8_t>(qRed(colors[i]));
    }
    std::uint8_t* rows = table + 4 * tableSize;
    for (std::uint64_t y = 0; y < height; ++y) {
        const uchar* line = image.constScanLine(static_cast<int>(y));
        std::uint8_t* row = rows + (height - 1 - y) * rowBytes;
        if (depth == 24) {
            // Qt's RGB888 is red first; DIB rows are blue first.
            for (std::uint64_t x = 0; x < width; ++x) {
                row[3 * x] = line[3 * x + 2];
                row[3 * x + 1] = line[3 * x + 1];
                row[3 * x + 2] = line[3 * x];
            }
        } else {
            std::memcpy(row, line, packed);
        }
    }
    return dib;
}

}  // namespace pm32::platform
