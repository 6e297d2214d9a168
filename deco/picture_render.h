#pragma once

#include <cstdint>
#include <vector>

#include "deco/fif_codec.h"
#include "deco/plane_decoder.h"

namespace deco {

// The zoom a picture is decoded at for an output size: the smallest octave
// at least as large, from kBaseShift to kMaxShift, kept small enough that a
// plane stays within kMaxLevelPixels.
inline constexpr int kMaxShift = 3;
inline constexpr std::uint64_t kMaxLevelPixels = std::uint64_t{1} << 25;
int decodeShift(const FifPicture& picture, int outWidth, int outHeight);

// Source samples and their weights (summing to 1 << kWeightShift) for each
// output position of one axis.
inline constexpr int kWeightShift = 12;
struct AxisTaps {
    std::vector<int> start;  // one more than positions; taps of i are start[i]..start[i+1]
    std::vector<int> index;
    std::vector<int> weight;
};
// Maps `count` output positions from `first` on to a source of `extent`
// samples (of which `limit` exist) that spans `outSize` outputs: a box over
// the footprint when shrinking, linear between the two nearest when growing.
// Positions outside 0..outSize have no taps.
AxisTaps axisTaps(double extent, int limit, int outSize, int first, int count);

// Renders the crop rectangle of a picture decoded at outWidth x outHeight, row by row.
class PictureRender {
  public:
    PictureRender(const FifPicture& picture, const ContrastTable& contrast, int outWidth,
                  int outHeight, const PixelRect& crop);

    // Red, green, blue bytes of crop row y (0 is the crop's top); black outside the picture.
    void row(int y, std::uint8_t* rgb) const;

  private:
    void filterRow(const DecodedPlane& plane, int y, std::vector<int>& out) const;

    PixelRect crop_;
    std::vector<DecodedPlane> planes_;
    AxisTaps columns_;
    AxisTaps rows_;
    bool oneToOne_ = false;  // every output takes one source sample
    mutable std::vector<int> luma_, blue_, red_;
};

}  // namespace deco
