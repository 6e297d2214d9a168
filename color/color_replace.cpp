#include "color/color_replace.h"

#include <array>

#include "engine/errors.h"

namespace pm32 {
namespace {

struct Channels {
    std::uint8_t red, green, blue;
};

Channels channelsOf(COLORREF color) {
    return {static_cast<std::uint8_t>(color), static_cast<std::uint8_t>(color >> 8),
            static_cast<std::uint8_t>(color >> 16)};
}

// The inclusive colour box and what becomes of colours in or out of it.
struct Replacement {
    Channels low, high, with;
    bool exclusive;

    bool replaces(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
        bool inside = red >= low.red && red <= high.red && green >= low.green &&
                      green <= high.green && blue >= low.blue && blue <= high.blue;
        return inside != exclusive;
    }
};

void replacePixels(ZDib& image, const Replacement& r) {
    for (std::uint8_t* row : image.BuildRowTable()) {
        std::uint8_t* pixel = row;
        for (std::int32_t x = 0; x < image.width; ++x, pixel += 3) {
            if (!r.replaces(pixel[2], pixel[1], pixel[0])) continue;
            pixel[0] = r.with.blue;
            pixel[1] = r.with.green;
            pixel[2] = r.with.red;
        }
    }
    image.CommitRowTable();
}

void replaceTableEntries(ZDib& image, const Replacement& r) {
    std::array<PALETTEENTRY, 256> table{};
    std::size_t count = image.GetPalette(table);
    for (std::size_t i = 0; i < count; ++i) {
        PALETTEENTRY& e = table[i];
        if (r.replaces(e.peRed, e.peGreen, e.peBlue))
            e = {r.with.red, r.with.green, r.with.blue, 0};
    }
    image.SetPalette(std::span(table.data(), count), false);
}

}  // namespace

ErrorNumber ReplaceColors(HGLOBAL handle, COLORREF start, COLORREF end, bool exclusive,
                          COLORREF replacement, HGLOBAL& result) {
    result = 0;
    Replacement r{channelsOf(start), channelsOf(end), channelsOf(replacement), exclusive};
    if (r.high.red < r.low.red) return err::BadRedRange;
    if (r.high.green < r.low.green) return err::BadGreenRange;
    if (r.high.blue < r.low.blue) return err::BadBlueRange;
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (image.depth == 1) return err::BadDepth;
    HGLOBAL copyHandle = 0;
    if (ErrorNumber n = DuplicateDib(handle, copyHandle); n != 0) return n;
    ZDib copy;
    copy.Attach(copyHandle, true, false, DepthRule::Any);
    if (copy.error != 0) return copy.error;
    if (copy.depth == 24)
        replacePixels(copy, r);
    else
        replaceTableEntries(copy, r);
    result = copy.Release();
    return 0;
}

}  // namespace pm32
