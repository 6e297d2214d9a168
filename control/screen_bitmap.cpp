#include "control/screen_bitmap.h"

#include <array>
#include <vector>

#include "engine/dib_holder.h"
#include "engine/dib_layout.h"

namespace pm32::control {
namespace {

std::uint32_t pixelIndex(const std::uint8_t* row, int x, std::uint32_t depth) {
    switch (depth) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return x & 1 ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
        default:
            return row[x];
    }
}

}  // namespace

QImage BuildScreenBitmap(platform::HGLOBAL dib) {
    ZDibLock lock(dib);
    const std::uint8_t* header = lock.header();
    if (header == nullptr || lock.bits() == nullptr) return {};
    auto width = static_cast<std::int32_t>(readLe32(header + dib::kWidth));
    auto height = static_cast<std::int32_t>(readLe32(header + dib::kHeight));
    std::uint32_t depth = readLe16(header + dib::kBitCount);
    if (width <= 0 || height <= 0 || !isSupportedDepth(depth) ||
        readLe32(header + dib::kCompression) != 0)
        return {};
    std::uint32_t used = readLe32(header + dib::kClrUsed);
    if (used == 0) used = fullTableSize(depth);
    std::uint64_t rowBytes = rowBytesFor(static_cast<std::uint32_t>(width), depth);
    auto needed = dibBlockSize(used, rowBytes, static_cast<std::uint32_t>(height));
    if (!needed || *needed > lock.blockSize()) return {};

    std::array<QRgb, 256> colors;
    colors.fill(qRgb(0, 0, 0));
    const std::uint8_t* table = header + dib::kHeaderSize;
    for (std::uint32_t i = 0; i < used && i < fullTableSize(depth); ++i)
        colors[i] = qRgb(table[4 * i + 2], table[4 * i + 1], table[4 * i]);

    QImage bitmap(width, height, QImage::Format_RGB32);
    if (bitmap.isNull()) return {};
    for (std::int32_t y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const std::uint8_t* row =
            lock.bits() + rowBytes * static_cast<std::uint64_t>(height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (std::int32_t x = 0; x < width; ++x)
            out[x] = depth == 24 ? qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x])
                                 : colors[pixelIndex(row, x, depth)];
    }
    return bitmap;
}

bool StretchColorOnColor(QPainter& painter, const QRect& destination, const QImage& bitmap,
                         const QRect& source, const QRect& visible) {
    if (!bitmap.rect().contains(source)) return false;
    QRect target = destination & visible;
    if (target.isEmpty()) return true;
    QImage piece(target.size(), QImage::Format_RGB32);
    if (piece.isNull()) return false;
    auto sample = [](int offset, int sourceStart, int sourceExtent, int destinationExtent) {
        return sourceStart + static_cast<int>(static_cast<std::int64_t>(offset) * sourceExtent /
                                              destinationExtent);
    };
    std::vector<int> columns(static_cast<std::size_t>(target.width()));
    for (int i = 0; i < target.width(); ++i)
        columns[static_cast<std::size_t>(i)] =
            sample(target.left() + i - destination.left(), source.left(), source.width(),
                   destination.width());
    for (int j = 0; j < target.height(); ++j) {
        int sy = sample(target.top() + j - destination.top(), source.top(), source.height(),
                        destination.height());
        const auto* in = reinterpret_cast<const QRgb*>(bitmap.constScanLine(sy));
        auto* out = reinterpret_cast<QRgb*>(piece.scanLine(j));
        for (int i = 0; i < target.width(); ++i) out[i] = in[columns[static_cast<std::size_t>(i)]];
    }
    painter.drawImage(target.topLeft(), piece);
    return true;
}

}  // namespace pm32::control
