#include "process/tone_operations.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pm32 {
namespace {

using ToneTable = std::array<std::uint8_t, 256>;

std::uint8_t clampTruncated(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::trunc(value), 0.0, 255.0));
}

ErrorNumber applyTable(HGLOBAL handle, const ToneTable& table, HGLOBAL& result) {
    result = 0;
    if (handle == 0) return err::InvalidPicture;
    HGLOBAL copyHandle = 0;
    if (ErrorNumber n = DuplicateDib(handle, copyHandle); n != 0) return n;
    ZDib copy;
    copy.Attach(copyHandle, true, false, DepthRule::Any);
    if (copy.error != 0) return copy.error;
    if (copy.depth == 24) {
        auto rows = copy.BuildRowTable();
        if (rows.empty()) return err::InvalidPicture;
        for (std::uint8_t* row : rows)
            for (std::uint32_t b = 0; b < copy.rowBytes; ++b) row[b] = table[row[b]];
        copy.CommitRowTable();
    } else {
        std::array<PALETTEENTRY, 256> entries{};
        std::size_t count = copy.GetPalette(entries);
        for (std::size_t i = 0; i < count; ++i) {
            entries[i].peRed = table[entries[i].peRed];
            entries[i].peGreen = table[entries[i].peGreen];
            entries[i].peBlue = table[entries[i].peBlue];
        }
        copy.SetPalette(std::span(entries.data(), count), false);
    }
    result = copy.Release();
    return 0;
}

}  // namespace

ErrorNumber BrightContDib(HGLOBAL image, double brightness, double contrast, HGLOBAL& result) {
    if (contrast == 1.0) contrast = 0.99999;
    const double wideSlope = std::tan(contrast * 1.57079632675);
    const auto slope = static_cast<float>(wideSlope);
    const auto offset = static_cast<float>((brightness - wideSlope * 0.5) * 255.0);
    ToneTable table{};
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = clampTruncated(static_cast<float>(i) * slope + offset);
    return applyTable(image, table, result);
}

ErrorNumber GammaDib(HGLOBAL image, double gamma, HGLOBAL& result) {
    const auto exponent = static_cast<float>(gamma * 0.2);
    const auto factor = static_cast<float>(std::pow(1.0 / 255.0, exponent) * 255.0);
    ToneTable table{};
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = clampTruncated(std::pow(double(i), exponent) * factor);
    return applyTable(image, table, result);
}

ErrorNumber NegateDib(HGLOBAL image, HGLOBAL& result) {
    ToneTable table{};
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(255 - i);
    return applyTable(image, table, result);
}

}  // namespace pm32
