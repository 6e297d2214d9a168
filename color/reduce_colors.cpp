#include "color/reduce_colors.h"

#include "color/depth_copy.h"
#include "color/error_diffusion.h"
#include "color/reduce_to_palette.h"
#include "engine/errors.h"

namespace pm32 {
namespace {

constexpr int kFewestColors = 2;
constexpr int kMostColors = 256;
constexpr int kMostWithStandardColors = 240;
constexpr int kStandardColorCount = 16;

}  // namespace

ErrorNumber ReduceColorsDib(HGLOBAL handle, int colors, bool optimize, bool dither, bool noBleed,
                            HGLOBAL& result, ProgressPump* progress) {
    result = 0;
    if (colors < kFewestColors || colors > kMostColors) return err::OutOfRange;
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (image.colorsUsed > 0 && image.colorsUsed <= static_cast<std::uint32_t>(colors))
        return err::BadDepth;
    if (colors > 2 && colors < kStandardColorCount && !optimize) return err::BadDepth;
    if (colors > kMostWithStandardColors && !optimize) colors = kMostWithStandardColors;
    if (image.depth != 24 && (1 << image.depth) < colors) return err::DepthMismatch;

    // Packed indices are reduced as the 8-bit image they expand to.
    ZDib expanded;
    HGLOBAL working = handle;
    if (image.depth == 1 || image.depth == 4) {
        if (ErrorNumber n = ExpandIndices(image, 8, expanded); n != 0) return n;
        working = expanded.handle;
    }
    HGLOBAL reducedHandle = 0;
    if (ErrorNumber n =
            ReduceToPalette(working, static_cast<unsigned>(colors), dither,
                            noBleed ? kNoBleedLimit : 0, !optimize, reducedHandle, progress);
        n != 0 || reducedHandle == 0)
        return n;
    ZDib reduced;
    reduced.Attach(reducedHandle, true, false, DepthRule::Any);
    if (reduced.error != 0) return reduced.error;
    if (colors > kStandardColorCount) {
        result = reduced.Release();
        return 0;
    }
    ZDib packed;
    if (ErrorNumber n = PackIndices(reduced, colors == 2 ? 1 : 4, packed); n != 0) return n;
    result = packed.Release();
    return 0;
}

}  // namespace pm32
