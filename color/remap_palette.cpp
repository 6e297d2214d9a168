#include "color/remap_palette.h"

#include <array>

#include "color/histogram.h"
#include "color/index_translation.h"
#include "engine/dib_layout.h"
#include "engine/errors.h"

namespace pm32 {

ErrorNumber RemapToPalette(HGLOBAL handle, platform::HPALETTE palette, HGLOBAL& result) {
    result = 0;
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (image.depth == 24) return err::BadDepth;
    unsigned count = platform::GetPaletteEntryCount(palette);
    if (count == 0) return err::InvalidPalette;
    std::uint32_t tableSize = fullTableSize(image.depth);
    if (count > tableSize) return err::PaletteDepthMismatch;

    std::array<PaletteColor, 256> table = ColorTableOf(image);
    std::array<std::uint8_t, 256> nearest{};
    for (std::uint32_t i = 0; i < tableSize; ++i) {
        const PaletteColor& c = table[i];
        COLORREF color = static_cast<COLORREF>(c.red) | static_cast<COLORREF>(c.green) << 8 |
                         static_cast<COLORREF>(c.blue) << 16;
        nearest[i] = static_cast<std::uint8_t>(platform::GetNearestPaletteIndex(palette, color));
    }

    HGLOBAL copyHandle = 0;
    if (ErrorNumber n = DuplicateDib(handle, copyHandle); n != 0) return n;
    ZDib copy;
    copy.Attach(copyHandle, true, false, DepthRule::Any);
    if (copy.error != 0) return copy.error;
    auto rows = copy.BuildRowTable();
    if (rows.empty()) return err::InvalidPicture;
    TranslateIndices(rows, copy.width, copy.depth, nearest);
    copy.CommitRowTable();
    std::array<PALETTEENTRY, 256> entries{};
    platform::GetPaletteEntries(palette, 0, std::span(entries.data(), count));
    copy.SetPalette(std::span(entries.data(), tableSize), true);
    result = copy.Release();
    return 0;
}

}  // namespace pm32
