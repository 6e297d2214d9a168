#include "control/nearest_stretch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace pm32::control {
namespace {

// A band of this many bytes stays in the cache while it is filled and drawn.
constexpr std::int64_t kBandBytes = 256 * 1024;

int sampled(int offset, int sourceStart, int sourceExtent, int destinationExtent) {
    return sourceStart +
           static_cast<int>(static_cast<std::int64_t>(offset) * sourceExtent / destinationExtent);
}

}  // namespace

bool StretchNearest(QPainter& painter, const QRect& destination, QSize sourceSize,
                    const QRect& source, const QRegion& visible, const SourceRowSampler& sample,
                    StretchBuffers& buffers) {
    if (!QRect(QPoint(), sourceSize).contains(source)) return false;
    QImage& band = buffers.band_;
    std::vector<int>& columns = buffers.columns_;
    for (const QRect& target : visible& destination) {
        const int width = target.width();
        const int bandRows = static_cast<int>(
            std::clamp<std::int64_t>(kBandBytes / (std::int64_t{width} * 4), 1, target.height()));
        if (band.width() < width || band.height() < bandRows) {
            // The old band goes first so that the two are never held together.
            band = QImage();
            band = QImage(width, bandRows, QImage::Format_RGB32);
            if (band.isNull()) return false;
        }
        try {
            columns.resize(static_cast<std::size_t>(width));
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (int i = 0; i < width; ++i)
            columns[static_cast<std::size_t>(i)] =
                sampled(target.left() + i - destination.left(), source.left(), source.width(),
                        destination.width());

        const std::span<const int> used(columns.data(), static_cast<std::size_t>(width));
        const auto rowBytes = static_cast<std::size_t>(width) * sizeof(QRgb);
        // Enlarging repeats source rows: a repeated row is copied, not sampled again.
        int lastRow = -1;
        const QRgb* lastOut = nullptr;
        for (int top = 0; top < target.height(); top += bandRows) {
            const int rows = std::min(bandRows, target.height() - top);
            for (int j = 0; j < rows; ++j) {
                const int row = sampled(target.top() + top + j - destination.top(), source.top(),
                                        source.height(), destination.height());
                auto* out = reinterpret_cast<QRgb*>(band.scanLine(j));
                if (row != lastRow)
                    sample(row, used, out);
                else if (out != lastOut)
                    std::memcpy(out, lastOut, rowBytes);
                lastRow = row;
                lastOut = out;
            }
            painter.drawImage(QPoint(target.left(), target.top() + top), band,
                              QRect(0, 0, width, rows));
        }
    }
    return true;
}

}  // namespace pm32::control
