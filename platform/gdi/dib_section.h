#pragma once

#include <QImage>
#include <cstdint>
#include <span>

#include "platform/gdi/color_table.h"

namespace pm32::platform::gdi {

// The pixel rows of a packed DIB as the drawing surface sees them.
struct DibPixels {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t depth = 0;  // 1, 4, 8 or 24
    std::uint64_t rowBytes = 0;
    // Bottom row first, rowBytes * height bytes; the section writes into them.
    std::span<std::uint8_t> rows;
};

// A drawing surface over a DIB: a 32-bit copy of its pixels that QPainter
// draws on, and the way back. Colours on an indexed DIB are matched to its
// colour table, which never changes.
class DibSection {
  public:
    // A null Image() when the pixels do not fit the geometry or the copy
    // cannot be made.
    DibSection(DibPixels pixels, ColorTable colors);

    bool Valid() const { return !image_.isNull(); }
    QImage& Image() { return image_; }
    const ColorTable& Colors() const { return colors_; }

    // Copies the drawn pixels back into the DIB's rows. On an indexed DIB
    // only pixels whose colour changed take a new index, so a pixel keeps its
    // index even where the table holds its colour twice.
    void WriteBack();

  private:
    void readRows();
    QRgb storedPixel(const std::uint8_t* row, int x) const;
    void storePixel(std::uint8_t* row, int x, QRgb pixel);

    DibPixels pixels_;
    ColorTable colors_;
    QImage image_;
};

}  // namespace pm32::platform::gdi
