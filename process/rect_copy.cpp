#include "process/rect_copy.h"

#include <algorithm>
#include <cstring>

#include "engine/errors.h"
#include "engine/pixel_access.h"

namespace pm32 {

ErrorNumber CopyRect(HGLOBAL source, const PictureRect& sourceRect, HGLOBAL destination,
                     std::int32_t x, std::int32_t y) {
    ZDib from;
    from.Attach(source, false, false, DepthRule::Any);
    if (from.error != 0) return from.error;
    ZDib into;
    into.Attach(destination, false, false, DepthRule::Any);
    if (into.error != 0) return into.error;
    if (from.depth != into.depth) return err::DepthMismatch;

    // 64-bit arithmetic: origins and rectangles come from callers unchecked.
    std::int64_t left =
        std::max<std::int64_t>({sourceRect.left, 0, sourceRect.left - std::int64_t{x}});
    std::int64_t top =
        std::max<std::int64_t>({sourceRect.top, 0, sourceRect.top - std::int64_t{y}});
    std::int64_t right = std::min<std::int64_t>(
        {sourceRect.right, from.width, std::int64_t{into.width} - x + sourceRect.left});
    std::int64_t bottom = std::min<std::int64_t>(
        {sourceRect.bottom, from.height, std::int64_t{into.height} - y + sourceRect.top});
    if (left >= right || top >= bottom) return 0;

    auto in = from.BuildRowTable();
    auto out = into.BuildRowTable();
    if (in.empty() || out.empty()) return err::InvalidPicture;
    const auto dx = static_cast<std::int32_t>(x - sourceRect.left);
    const auto dy = static_cast<std::int32_t>(y - sourceRect.top);
    const auto width = static_cast<std::int32_t>(right - left);
    for (auto row = static_cast<std::int32_t>(top); row < bottom; ++row) {
        const std::uint8_t* s = in[static_cast<std::size_t>(from.height - 1 - row)];
        std::uint8_t* d = out[static_cast<std::size_t>(into.height - 1 - (row + dy))];
        const auto first = static_cast<std::int32_t>(left);
        if (from.depth == 24) {
            std::memcpy(d + 3 * static_cast<std::size_t>(first + dx),
                        s + 3 * static_cast<std::size_t>(first),
                        3 * static_cast<std::size_t>(width));
            continue;
        }
        for (std::int32_t column = first; column < first + width; ++column)
            SetIndexAt(d, column + dx, into.depth, IndexAt(s, column, from.depth));
    }
    into.CommitRowTable();
    from.DiscardRowTable();
    return 0;
}

}  // namespace pm32
