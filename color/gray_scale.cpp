#include "color/gray_scale.h"

#include <algorithm>
#include <array>

#include "engine/grey_level.h"

namespace pm32 {
namespace {

constexpr std::uint32_t kBlueWeight = 7208;
constexpr std::uint32_t kGreenWeight = 38666;
constexpr std::uint32_t kRedWeight = 19660;

// Each weighted term is truncated by itself, so pure white gives 254.
std::uint8_t greyIndex(std::uint32_t blue, std::uint32_t green, std::uint32_t red) {
    std::uint32_t grey =
        (blue * kBlueWeight >> 16) + (green * kGreenWeight >> 16) + (red * kRedWeight >> 16);
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(grey, 255));
}

ErrorNumber greyFromTrueColor(ZDib& image, HGLOBAL& result) {
    ZDib grey;
    grey.Create(image.width, image.height, 8, 0);
    if (grey.error != 0) return grey.error;
    std::array<PALETTEENTRY, 256> ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        auto level = static_cast<std::uint8_t>(i);
        ramp[i] = {level, level, level, 0};
    }
    grey.SetPalette(ramp, true);
    auto in = image.BuildRowTable();
    auto out = grey.BuildRowTable();
    if (in.empty() || out.empty()) return err::InvalidPicture;
    for (std::size_t row = 0; row < in.size(); ++row) {
        const std::uint8_t* pixel = in[row];
        for (std::int32_t x = 0; x < image.width; ++x, pixel += 3)
            out[row][x] = greyIndex(pixel[0], pixel[1], pixel[2]);
    }
    grey.CommitRowTable();
    result = grey.Release();
    return 0;
}

ErrorNumber greyColorTable(HGLOBAL handle, HGLOBAL& result) {
    HGLOBAL copyHandle = 0;
    if (ErrorNumber n = DuplicateDib(handle, copyHandle); n != 0) return n;
    ZDib copy;
    copy.Attach(copyHandle, true, false, DepthRule::Any);
    if (copy.error != 0) return copy.error;
    std::array<PALETTEENTRY, 256> table{};
    std::size_t count = copy.GetPalette(table);
    for (std::size_t i = 0; i < count; ++i) {
        PALETTEENTRY& e = table[i];
        const std::uint8_t level = greyLevelOf(e.peRed, e.peGreen, e.peBlue);
        e = {level, level, level, e.peFlags};
    }
    copy.SetPalette(std::span(table.data(), count), false);
    result = copy.Release();
    return 0;
}

}  // namespace

ErrorNumber GrayScaleDib(HGLOBAL handle, HGLOBAL& result) {
    result = 0;
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    return image.depth == 24 ? greyFromTrueColor(image, result) : greyColorTable(handle, result);
}

}  // namespace pm32
