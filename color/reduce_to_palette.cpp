#include "color/reduce_to_palette.h"

#include <algorithm>

#include "color/zreduce.h"
#include "engine/errors.h"

namespace pm32 {
namespace {

constexpr unsigned kMostWithStandardColors = 240;
constexpr unsigned kMostColors = 256;
constexpr std::int32_t kSmallestSide = 3;

ErrorNumber createAndMap(ZReduce& reduce, bool dither, int bleedLimit, HGLOBAL& result) {
    ZDib out;
    if (ErrorNumber n = reduce.CreateResult(reduce.palette.count, out); n != 0) return n;
    if (ErrorNumber n = reduce.MapPixels(out, dither, bleedLimit); n != 0) return n;
    result = out.Release();
    return 0;
}

}  // namespace

ErrorNumber ReduceToPalette(HGLOBAL image, unsigned colors, bool dither, int bleedLimit,
                            bool standardColors, HGLOBAL& result, ProgressPump* progress) {
    result = 0;
    if (colors > (standardColors ? kMostWithStandardColors : kMostColors))
        return err::TooManyColors;
    ZReduce reduce;
    reduce.progress = progress;
    if (ErrorNumber n = reduce.Attach(image); n != 0) return n;
    if (reduce.source.width < kSmallestSide || reduce.source.height < kSmallestSide) return 0;
    std::uint32_t distinct = 0;
    if (ErrorNumber n = reduce.CountColors(distinct); n != 0) return n;
    // The standard colours ask no more of the image than it has, so a
    // two-colour image becomes white and black; an optimised palette always
    // has the size asked for, white filling what the image cannot.
    unsigned size = standardColors ? std::min(colors, distinct) : colors;
    if (ErrorNumber n =
            BuildReductionPalette(reduce.histogram, size, standardColors, reduce.palette);
        n != 0)
        return n;
    return createAndMap(reduce, dither, bleedLimit, result);
}

ErrorNumber MapToPalette(HGLOBAL image, std::span<const PaletteColor> entries, bool dither,
                         int bleedLimit, HGLOBAL& result, ProgressPump* progress) {
    result = 0;
    if (entries.size() < 2) return err::NoPalette;
    if (entries.size() > kMostColors) return err::TooManyColors;
    ZReduce reduce;
    reduce.progress = progress;
    if (ErrorNumber n = reduce.Attach(image); n != 0) return n;
    std::copy(entries.begin(), entries.end(), reduce.palette.entries.begin());
    reduce.palette.count = static_cast<unsigned>(entries.size());
    return createAndMap(reduce, dither, bleedLimit, result);
}

}  // namespace pm32
