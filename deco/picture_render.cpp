#include "deco/picture_render.h"

#include <algorithm>
#include <cmath>

#include "deco/color_space.h"

namespace deco {
namespace {

double extentAt(int size, int shift) { return std::ldexp(static_cast<double>(size), shift); }

std::uint64_t levelPixels(const PlaneGeometry& g, int shift) {
    return static_cast<std::uint64_t>(extentAt(g.paddedWidth, shift)) *
           static_cast<std::uint64_t>(extentAt(g.paddedHeight, shift));
}

}  // namespace

int decodeShift(const FifPicture& picture, int outWidth, int outHeight) {
    int width = picture.header.width, height = picture.header.height;
    int shift = kBaseShift;
    while (shift < kMaxShift &&
           (extentAt(width, shift) < outWidth || extentAt(height, shift) < outHeight))
        ++shift;
    // Chroma is decoded one octave higher than luminance, on a grid half as large.
    while (shift > kBaseShift && levelPixels(picture.planes[0].geometry, shift) > kMaxLevelPixels)
        --shift;
    return shift;
}

AxisTaps axisTaps(double extent, int limit, int outSize, int first, int count) {
    AxisTaps taps;
    taps.start.push_back(0);
    double factor = extent / outSize;
    constexpr int one = 1 << kWeightShift;
    auto add = [&](int index, int weight) {
        taps.index.push_back(std::clamp(index, 0, limit - 1));
        taps.weight.push_back(weight);
    };
    for (int position = first; position < first + count; ++position) {
        if (position >= 0 && position < outSize) {
            if (std::fabs(factor - 1.0) < 1e-9) {
                add(position, one);
            } else if (factor > 1.0) {
                double low = position * factor, high = (position + 1) * factor;
                auto firstTap = taps.weight.size();
                int total = 0;
                for (int i = static_cast<int>(std::floor(low)); i < std::ceil(high); ++i) {
                    double overlap =
                        std::min(high, i + 1.0) - std::max(low, static_cast<double>(i));
                    int weight = static_cast<int>(std::lround(overlap / factor * one));
                    add(i, weight);
                    total += weight;
                }
                // Rounding must not change the brightness of a flat area.
                auto largest = std::max_element(taps.weight.begin() + static_cast<long>(firstTap),
                                                taps.weight.end());
                *largest += one - total;
            } else {
                double centre = (position + 0.5) * factor - 0.5;
                int left = static_cast<int>(std::floor(centre));
                int right = static_cast<int>(std::lround((centre - left) * one));
                add(left, one - right);
                add(left + 1, right);
            }
        }
        taps.start.push_back(static_cast<int>(taps.index.size()));
    }
    return taps;
}

PictureRender::PictureRender(const FifPicture& picture, const ContrastTable& contrast, int outWidth,
                             int outHeight, const PixelRect& crop)
    : crop_(crop) {
    int shift = decodeShift(picture, outWidth, outHeight);
    const PlaneGeometry& luma = picture.planes[0].geometry;
    auto limitOf = [&](int size, int padded) {
        return std::min(static_cast<int>(std::ceil(extentAt(size, shift))),
                        static_cast<int>(extentAt(padded, shift)));
    };
    columns_ =
        axisTaps(extentAt(picture.header.width, shift), limitOf(luma.width, luma.paddedWidth),
                 outWidth, crop.left, crop.right - crop.left);
    rows_ =
        axisTaps(extentAt(picture.header.height, shift), limitOf(luma.height, luma.paddedHeight),
                 outHeight, crop.top, crop.bottom - crop.top);
    auto single = [](const AxisTaps& taps) {
        for (std::size_t i = 0; i + 1 < taps.start.size(); ++i)
            if (taps.start[i + 1] - taps.start[i] > 1) return false;
        return true;
    };
    oneToOne_ = single(columns_) && single(rows_);
    PixelRect wanted{0, 0, 0, 0};
    if (!columns_.index.empty() && !rows_.index.empty()) {
        auto [left, right] = std::minmax_element(columns_.index.begin(), columns_.index.end());
        auto [top, bottom] = std::minmax_element(rows_.index.begin(), rows_.index.end());
        wanted = {*left, *top, *right + 1, *bottom + 1};
    }
    // Chroma one octave up lands on the luminance grid pixel for pixel.
    for (std::size_t i = 0; i < picture.planes.size(); ++i)
        planes_.push_back(
            decodePlane(picture.planes[i], contrast, i == 0 ? shift : shift + 1, wanted));
}

void PictureRender::filterRow(const DecodedPlane& plane, int y, std::vector<int>& out) const {
    int count = crop_.right - crop_.left;
    out.assign(static_cast<std::size_t>(count), 0);
    if (oneToOne_) {
        if (rows_.start[y] == rows_.start[y + 1]) return;
        const std::uint16_t* source =
            &plane.samples[static_cast<std::size_t>(rows_.index[rows_.start[y]]) * plane.width];
        for (int x = 0; x < count; ++x)
            if (columns_.start[x] != columns_.start[x + 1])
                out[x] = source[columns_.index[columns_.start[x]]] << kWeightShift;
        return;
    }
    for (int t = rows_.start[y]; t < rows_.start[y + 1]; ++t) {
        const std::uint16_t* source =
            &plane.samples[static_cast<std::size_t>(rows_.index[t]) * plane.width];
        int rowWeight = rows_.weight[t];
        for (int x = 0; x < count; ++x) {
            long long sum = 0;
            for (int c = columns_.start[x]; c < columns_.start[x + 1]; ++c)
                sum += static_cast<long long>(columns_.weight[c]) * source[columns_.index[c]];
            out[x] += static_cast<int>((sum * rowWeight) >> kWeightShift);
        }
    }
}

void PictureRender::row(int y, std::uint8_t* rgb) const {
    int count = crop_.right - crop_.left;
    filterRow(planes_[0], y, luma_);
    bool color = planes_.size() == 3;
    if (color) {
        filterRow(planes_[1], y, blue_);
        filterRow(planes_[2], y, red_);
    }
    bool rowInside = rows_.start[y] != rows_.start[y + 1];
    constexpr int fraction = kSampleShift + kWeightShift;
    for (int x = 0; x < count; ++x) {
        if (!rowInside || columns_.start[x] == columns_.start[x + 1]) {
            rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] = 0;
            continue;
        }
        int neutral = 128 << fraction;
        toRgb(luma_[x], color ? blue_[x] : neutral, color ? red_[x] : neutral, fraction,
              rgb + 3 * x);
    }
}

}  // namespace deco
