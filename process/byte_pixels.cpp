#include "process/byte_pixels.h"

#include <array>

#include "color/convert_depth.h"
#include "engine/pixel_access.h"

namespace pm32 {
namespace {

ErrorNumber packIndices(ZDib& wide, std::uint32_t depth, HGLOBAL& result) {
    ZDib packed;
    packed.Create(wide.width, wide.height, depth, 0);
    if (packed.error != 0) return packed.error;
    std::array<PALETTEENTRY, 256> table{};
    packed.SetPalette(std::span(table.data(), wide.GetPalette(table)), false);
    auto in = wide.BuildRowTable();
    auto out = packed.BuildRowTable();
    if (in.empty() || out.empty()) return err::InvalidPicture;
    for (std::size_t y = 0; y < in.size(); ++y)
        for (std::int32_t x = 0; x < wide.width; ++x) SetIndexAt(out[y], x, depth, in[y][x]);
    wide.DiscardRowTable();
    packed.CommitRowTable();
    result = packed.Release();
    return 0;
}

}  // namespace

ErrorNumber MakeImageLike(const ZDib& source, std::int32_t width, std::int32_t height,
                          ZDib& created) {
    created.Create(width, height, source.depth, 0);
    if (created.error != 0) return created.error;
    std::array<PALETTEENTRY, 256> table{};
    created.SetPalette(std::span(table.data(), source.GetPalette(table)), false);
    return 0;
}

ErrorNumber MoveBytePixels(HGLOBAL handle, const BytePixelMove& move, HGLOBAL& result) {
    result = 0;
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (image.depth == 8 || image.depth == 24) return move(image, result);

    HGLOBAL wideHandle = 0;
    if (ErrorNumber n = ConvertDepth(handle, 8, {}, false, false, wideHandle); n != 0) return n;
    ZDib wide;
    wide.Attach(wideHandle, true, false, DepthRule::Any);
    if (wide.error != 0) return wide.error;
    HGLOBAL movedHandle = 0;
    if (ErrorNumber n = move(wide, movedHandle); n != 0) return n;
    ZDib moved;
    moved.Attach(movedHandle, true, false, DepthRule::Any);
    if (moved.error != 0) return moved.error;
    return packIndices(moved, image.depth, result);
}

}  // namespace pm32
