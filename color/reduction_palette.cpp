#include "color/reduction_palette.h"

#include <algorithm>
#include <span>
#include <utility>

#include "color/median_cut.h"
#include "color/standard_colors.h"
#include "engine/errors.h"

namespace pm32 {
namespace {

constexpr PaletteColor kWhite{255, 255, 255, 0};
constexpr PaletteColor kBlack{0, 0, 0, 0};

std::uint32_t luminance(const PaletteColor& c) {
    return 30u * c.red + 59u * c.green + 11u * c.blue;
}

// Each position in turn takes the first darkest entry from there on.
void orderByLuminance(std::span<PaletteColor> entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::size_t darkest = i;
        for (std::size_t j = i + 1; j < entries.size(); ++j)
            if (luminance(entries[j]) < luminance(entries[darkest])) darkest = j;
        std::swap(entries[i], entries[darkest]);
    }
}

// Fills out with colours of the image: median cut when it has more colours than
// wanted, else every colour once and white after them; then darkest first.
ErrorNumber imageColors(const ColorHistogram& histogram, std::span<PaletteColor> out) {
    ColorList list;
    if (!list.Pack(histogram)) return err::OutOfMemory;
    std::span<ColorListEntry> colors = list.entries();
    if (out.size() < colors.size()) {
        MedianCut(colors, out);
    } else {
        std::size_t i = 0;
        for (; i < colors.size(); ++i) out[i] = ColorOfKey(colors[i].key);
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(i), out.end(), kWhite);
    }
    orderByLuminance(out);
    return 0;
}

void tagByIndex(WorkingPalette& palette) {
    for (unsigned i = 0; i < palette.count; ++i)
        palette.entries[i].tag = static_cast<std::uint8_t>(i);
}

}  // namespace

ErrorNumber BuildReductionPalette(const ColorHistogram& histogram, unsigned colors,
                                  bool standardColors, WorkingPalette& palette) {
    palette = {};
    if (colors < 2) return err::TooFewColors;
    if (colors > palette.entries.size()) return err::TooManyColors;
    palette.count = colors;
    std::span<PaletteColor> entries(palette.entries.data(), colors);
    if (!standardColors) {
        if (ErrorNumber n = imageColors(histogram, entries); n != 0) return n;
    } else if (colors == 2) {
        entries[0] = kWhite;
        entries[1] = kBlack;
    } else if (colors < StandardColors().size()) {
        palette.count = 0;
        return err::TooFewColors;
    } else {
        std::copy(StandardColors().begin(), StandardColors().end(), entries.begin());
        if (ErrorNumber n = imageColors(histogram, entries.subspan(StandardColors().size()));
            n != 0)
            return n;
    }
    tagByIndex(palette);
    return 0;
}

ErrorNumber PaletteFromHistogram(const ColorHistogram& histogram, WorkingPalette& palette,
                                 unsigned count) {
    palette = {};
    if (count < 2) return err::TooFewColors;
    if (count > palette.entries.size()) return err::TooManyColors;
    palette.count = count;
    return imageColors(histogram, std::span(palette.entries.data(), count));
}

}  // namespace pm32
