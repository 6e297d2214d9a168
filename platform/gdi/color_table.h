#pragma once

#include <QColor>
#include <QRgb>
#include <cstdint>
#include <vector>

#include "platform/gdi_palette.h"

namespace pm32::platform::gdi {

// The colours a drawing surface can hold. An indexed surface matches every
// colour to its nearest table entry, as GDI does on a DIB section with a
// colour table; a true-colour surface takes colours as they are.
class ColorTable {
  public:
    // True colour.
    ColorTable() = default;
    // Indexed by these entries (opaque 0xffRRGGBB).
    explicit ColorTable(std::vector<QRgb> entries) : entries_(std::move(entries)) {}

    bool Indexed() const { return !entries_.empty(); }
    const std::vector<QRgb>& Entries() const { return entries_; }

    // The colour a GDI colour (0x00BBGGRR) is drawn with.
    QColor Match(COLORREF color) const;
    // Index of the entry closest to the pixel (least squared distance, first
    // wins a tie); 0 on a true-colour table.
    unsigned NearestIndex(QRgb pixel) const;

  private:
    std::vector<QRgb> entries_;
};

// 0x00BBGGRR as an opaque Qt colour.
inline QRgb RgbOf(COLORREF color) {
    return qRgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace pm32::platform::gdi
