#include "process/mask_blend.h"

#include "color/convert_depth.h"
#include "engine/errors.h"

namespace pm32 {
namespace {

// The mask as a 24-bit record: the caller's own block when it already is, or
// an owned converted copy.
ErrorNumber attachMask(HGLOBAL mask, ZDib& record) {
    record.Attach(mask, false, false, DepthRule::Any);
    if (record.error != 0 || record.depth == 24) return record.error;
    HGLOBAL converted = 0;
    if (ErrorNumber n = ConvertDepth(mask, 24, {}, false, false, converted); n != 0) return n;
    record.Attach(converted, true, false, DepthRule::Any);
    return record.error;
}

std::uint8_t blend(std::uint32_t source, std::uint32_t destination, std::uint32_t mask) {
    return static_cast<std::uint8_t>((source * mask >> 8) + (destination * (255 - mask) >> 8));
}

}  // namespace

ErrorNumber MaskBlend(HGLOBAL source, const PictureRect& sourceRect, HGLOBAL destination,
                      const PictureRect& destinationRect, HGLOBAL mask, const PictureRect& maskRect,
                      HGLOBAL& result) {
    result = 0;
    ZDib from;
    from.Attach(source, false, false, DepthRule::Any);
    if (from.error != 0) return from.error;
    ZDib into;
    into.Attach(destination, false, false, DepthRule::Any);
    if (into.error != 0) return into.error;
    ZDib maskRecord;
    if (ErrorNumber n = attachMask(mask, maskRecord); n != 0) return n;

    if (!LiesWithin(sourceRect, from.width, from.height) ||
        !LiesWithin(destinationRect, into.width, into.height) ||
        !LiesWithin(maskRect, maskRecord.width, maskRecord.height))
        return err::BadArea;
    if (sourceRect.Width() != destinationRect.Width() ||
        sourceRect.Height() != destinationRect.Height() || sourceRect.Width() != maskRect.Width() ||
        sourceRect.Height() != maskRect.Height())
        return err::OutOfRange;
    if (from.depth != into.depth || into.depth != 24) return err::DepthMismatch;

    HGLOBAL copyHandle = 0;
    if (ErrorNumber n = DuplicateDib(destination, copyHandle); n != 0) return n;
    ZDib copy;
    copy.Attach(copyHandle, true, false, DepthRule::Any);
    if (copy.error != 0) return copy.error;

    auto in = from.BuildRowTable();
    auto weights = maskRecord.BuildRowTable();
    auto out = copy.BuildRowTable();
    if (in.empty() || weights.empty() || out.empty()) return err::InvalidPicture;
    // Rectangles count rows from the top; the row tables from the bottom.
    auto memoryRow = [](const ZDib& image, std::int32_t top, std::int32_t y) {
        return static_cast<std::size_t>(image.height - 1 - (top + y));
    };
    const auto bytes = static_cast<std::size_t>(sourceRect.Width()) * 3;
    for (std::int32_t y = 0; y < sourceRect.Height(); ++y) {
        const std::uint8_t* s = in[memoryRow(from, sourceRect.top, y)] + sourceRect.left * 3;
        const std::uint8_t* m = weights[memoryRow(maskRecord, maskRect.top, y)] + maskRect.left * 3;
        std::uint8_t* d = out[memoryRow(copy, destinationRect.top, y)] + destinationRect.left * 3;
        for (std::size_t i = 0; i < bytes; ++i) d[i] = blend(s[i], d[i], m[i]);
    }
    copy.CommitRowTable();
    from.DiscardRowTable();
    maskRecord.DiscardRowTable();
    result = copy.Release();
    return 0;
}

}  // namespace pm32
