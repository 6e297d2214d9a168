#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRegion>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace pm32::control {

// Fills out with the source pixels of one source row at the given columns.
using SourceRowSampler = std::function<void(int row, std::span<const int> columns, QRgb* out)>;

// The working memory of stretches, kept from paint to paint so that painting
// allocates nothing once it has seen the window's size. It stays within a
// band of rows and one column table, however large the image or window.
class StretchBuffers {
  public:
    // Bytes held, for the view's accounting of its display memory.
    std::size_t HeldBytes() const {
        return static_cast<std::size_t>(band_.sizeInBytes()) + columns_.capacity() * sizeof(int);
    }

  private:
    friend bool StretchNearest(QPainter& painter, const QRect& destination, QSize sourceSize,
                               const QRect& source, const QRegion& visible,
                               const SourceRowSampler& sample, StretchBuffers& buffers);
    QImage band_;
    std::vector<int> columns_;
};

// Stretches the source rectangle onto the destination rectangle with
// nearest-neighbour sampling, as COLORONCOLOR does: destination pixel i shows
// source pixel i * source extent / destination extent. Only the part of the
// destination inside visible is sampled and drawn, so that a scrolled window
// converts just its uncovered strips. False when the source rectangle is not
// inside the source's size or the buffers cannot be had.
bool StretchNearest(QPainter& painter, const QRect& destination, QSize sourceSize,
                    const QRect& source, const QRegion& visible, const SourceRowSampler& sample,
                    StretchBuffers& buffers);

}  // namespace pm32::control
