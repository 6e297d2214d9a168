#include "platform/gdi_palette.h"

#include <algorithm>
#include <vector>

namespace pm32::platform {
namespace {

using Entries = std::vector<PALETTEENTRY>;

HandleRegistry<Entries>& palettes() {
    static HandleRegistry<Entries> registry;
    return registry;
}

}  // namespace

HPALETTE CreatePalette(std::span<const PALETTEENTRY> entries) {
    if (entries.empty() || entries.size() > kMaxPaletteEntries) return 0;
    return palettes().add(Entries(entries.begin(), entries.end()));
}

unsigned GetPaletteEntryCount(HPALETTE palette) {
    const Entries* entries = palettes().find(palette);
    return entries == nullptr ? 0 : static_cast<unsigned>(entries->size());
}

unsigned GetPaletteEntries(HPALETTE palette, unsigned start, std::span<PALETTEENTRY> out) {
    const Entries* entries = palettes().find(palette);
    if (entries == nullptr || start >= entries->size()) return 0;
    auto count = std::min<std::size_t>(out.size(), entries->size() - start);
    std::copy_n(entries->begin() + start, count, out.begin());
    return static_cast<unsigned>(count);
}

unsigned SetPaletteEntries(HPALETTE palette, unsigned start, std::span<const PALETTEENTRY> in) {
    Entries* entries = palettes().find(palette);
    if (entries == nullptr || start >= entries->size()) return 0;
    auto count = std::min<std::size_t>(in.size(), entries->size() - start);
    std::copy_n(in.begin(), count, entries->begin() + start);
    return static_cast<unsigned>(count);
}

unsigned GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
    const Entries* entries = palettes().find(palette);
    if (entries == nullptr) return CLR_INVALID;
    int red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    unsigned best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (unsigned i = 0; i < entries->size(); ++i) {
        const PALETTEENTRY& e = (*entries)[i];
        int dr = e.peRed - red, dg = e.peGreen - green, db = e.peBlue - blue;
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

bool DeletePalette(HPALETTE palette) { return palettes().remove(palette); }

std::size_t LivePaletteCount() { return palettes().size(); }

}  // namespace pm32::platform
