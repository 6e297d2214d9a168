#include "control/resize_placement.h"

#include <algorithm>

namespace pm32::control {
namespace {

using Wide = std::int64_t;

std::optional<ScaledPlacement> checked(const ScaledPlacement& p, Wide w, Wide h, Wide W, Wide H) {
    auto within = [](const PictureRect& r, Wide width, Wide height) {
        return r.left >= 0 && r.left < r.right && r.right <= width && r.top >= 0 &&
               r.top < r.bottom && r.bottom <= height;
    };
    if (!within(p.source, w, h) || !within(p.destination, W, H)) return std::nullopt;
    return p;
}

// The rectangles in 64 bits while the arithmetic runs; products of two
// 32-bit sizes would overflow otherwise.
struct WideRect {
    Wide left, top, right, bottom;

    PictureRect narrow() const {
        auto clamp = [](Wide v) {
            return static_cast<std::int32_t>(std::clamp<Wide>(v, INT32_MIN, INT32_MAX));
        };
        return {clamp(left), clamp(top), clamp(right), clamp(bottom)};
    }
};

}  // namespace

std::optional<ScaledPlacement> WholeImageResize(std::int32_t w32, std::int32_t h32,
                                                std::int32_t W32, std::int32_t H32,
                                                std::int32_t x32, std::int32_t y32,
                                                bool keepProportions) {
    const Wide w = w32, h = h32, W = W32, H = H32, x = x32, y = y32;
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return std::nullopt;
    WideRect source{0, 0, w, h};
    WideRect destination{0, 0, W, H};
    // A positive origin moves the destination's near edge in and cuts the
    // source's far edge by as much; a negative one the other way round.
    if (x > 0) {
        destination.left = x;
        source.right = w - x * w / W;
    } else if (x < 0) {
        destination.right = W + x;
        source.left = -(x * w / W);
    }
    if (y > 0) {
        destination.top = y;
        source.bottom = h - y * h / H;
    } else if (y < 0) {
        destination.bottom = H + y;
        source.top = -(y * h / H);
    }
    if (keepProportions) {
        // Comparing h / H with w / W as real numbers, without dividing.
        if (h * W > w * H) {
            Wide right = H * w / h + x;
            if (x > 0 && right > W) {
                source.right -= (right - W) * w / W;
                right = W;
            }
            destination.right = right;
        } else if (w * H > h * W) {
            Wide bottom = W * h / w + y;
            if (y > 0 && bottom > H) {
                source.bottom -= (bottom - H) * h / H;
                bottom = H;
            }
            destination.bottom = bottom;
        }
    }
    return checked({source.narrow(), destination.narrow()}, w, h, W, H);
}

std::optional<ScaledPlacement> SelectionResize(std::int32_t w32, std::int32_t h32, std::int32_t W32,
                                               std::int32_t H32, const PictureRect& selection,
                                               bool keepProportions) {
    const Wide w = w32, h = h32, W = W32, H = H32;
    const Wide width = selection.Width(), height = selection.Height();
    if (w <= 0 || h <= 0 || width < 1 || height < 1) return std::nullopt;
    // The size the picture takes on the image: the selection, or with kept
    // proportions the largest box of the picture's aspect inside it.
    Wide fitWidth = width, fitHeight = height;
    if (keepProportions) {
        if (w * height >= h * width)
            fitHeight = std::max<Wide>(1, h * width / w);
        else
            fitWidth = std::max<Wide>(1, w * height / h);
    }
    const Wide left = selection.left, top = selection.top;
    WideRect destination{std::max<Wide>(left, 0), std::max<Wide>(top, 0),
                         std::min(left + fitWidth, W), std::min(top + fitHeight, H)};
    if (destination.left >= destination.right || destination.top >= destination.bottom)
        return std::nullopt;
    WideRect source{
        (destination.left - left) * w / fitWidth, (destination.top - top) * h / fitHeight,
        (destination.right - left) * w / fitWidth, (destination.bottom - top) * h / fitHeight};
    return checked({source.narrow(), destination.narrow()}, w, h, W, H);
}

}  // namespace pm32::control
