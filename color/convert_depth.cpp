#include "color/convert_depth.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "color/depth_copy.h"
#include "color/error_diffusion.h"
#include "color/reduce_to_palette.h"
#include "engine/dib_layout.h"
#include "engine/errors.h"

namespace pm32 {
namespace {

ErrorNumber copyWholeBlock(HGLOBAL source, HGLOBAL& result) {
    platform::Locked from(source);
    if (!from) return err::InvalidPicture;
    HGLOBAL copy =
        platform::GlobalAlloc(platform::GMEM_MOVEABLE | platform::GMEM_DDESHARE, from.size());
    if (copy == 0) return err::OutOfMemory;
    platform::Locked to(copy);
    std::memcpy(to.data(), from.data(), from.size());
    result = copy;
    return 0;
}

// Hands an owned record's block over, packed to 1 or 4 bits when the depth asks.
ErrorNumber deliverAtDepth(HGLOBAL eightBit, std::uint32_t depth, HGLOBAL& result) {
    ZDib mapped;
    mapped.Attach(eightBit, true, false, DepthRule::Any);
    if (mapped.error != 0) return mapped.error;
    if (depth == 8) {
        result = mapped.Release();
        return 0;
    }
    ZDib packed;
    if (ErrorNumber n = PackIndices(mapped, depth, packed); n != 0) return n;
    result = packed.Release();
    return 0;
}

}  // namespace

ErrorNumber ConvertDepth(HGLOBAL source, std::uint32_t depth, std::span<const PALETTEENTRY> palette,
                         bool dither, bool standardColors, HGLOBAL& result) {
    result = 0;
    ZDib image;
    image.Attach(source, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (depth == 0) depth = image.depth;
    if (!isSupportedDepth(depth)) return err::BadDepth;
    bool withPalette = !palette.empty();
    if (depth == 24 && withPalette) return err::NoPalette;
    if (depth == image.depth && !withPalette) return copyWholeBlock(source, result);

    ZDib converted;
    if (!withPalette && depth > image.depth) {
        ErrorNumber n = depth == 24 ? ExpandToTrueColor(image, converted)
                                    : ExpandIndices(image, depth, converted);
        if (n != 0) return n;
        result = converted.Release();
        return 0;
    }

    HGLOBAL working = source;
    if (image.depth == 1 || image.depth == 4) {
        if (ErrorNumber n = ExpandIndices(image, 8, converted); n != 0) return n;
        working = converted.handle;
    }
    HGLOBAL mapped = 0;
    if (withPalette) {
        std::size_t count = std::min<std::size_t>(palette.size(), fullTableSize(depth));
        std::array<PaletteColor, 256> entries{};
        for (std::size_t i = 0; i < count; ++i)
            entries[i] = {palette[i].peBlue, palette[i].peGreen, palette[i].peRed,
                          static_cast<std::uint8_t>(i)};
        if (ErrorNumber n = MapToPalette(working, std::span(entries.data(), count), dither,
                                         kNoBleedLimit, mapped);
            n != 0)
            return n;
    } else {
        if (ErrorNumber n = ReduceToPalette(working, fullTableSize(depth), dither, kNoBleedLimit,
                                            standardColors, mapped);
            n != 0)
            return n;
    }
    if (mapped == 0) return 0;
    return deliverAtDepth(mapped, depth, result);
}

}  // namespace pm32
