#pragma once

#include <cstdint>

#include "control/dib_holder.h"
#include "platform/gdi_palette.h"

namespace pm32 {

using platform::HPALETTE;

// The control's palette holder: a palette object and its entry count (0 means
// no palette). Operations raise (throw RaisedError) for the control to report.
class ZPal {
  public:
    ZPal() = default;
    ~ZPal();
    ZPal(const ZPal&) = delete;
    ZPal& operator=(const ZPal&) = delete;

    // Builds the palette from the image's colour table at the full size of its
    // depth; a 24-bit image leaves no palette.
    void FromImage(const ZDibHolder& image);

    // Copies another palette; with deleteSource the source is deleted whether
    // or not the copy succeeded.
    void FromPalette(HPALETTE source, bool deleteSource);

    HPALETTE handle() const { return palette_; }
    std::uint32_t entryCount() const { return entryCount_; }

  private:
    void deletePalette();
    void adopt(std::span<const PALETTEENTRY> entries);

    HPALETTE palette_ = 0;
    std::uint32_t entryCount_ = 0;
};

}  // namespace pm32
