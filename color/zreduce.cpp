#include "color/zreduce.h"

#include <cstring>

#include "color/error_diffusion.h"
#include "engine/dib_layout.h"
#include "engine/errors.h"

namespace pm32 {
namespace {

constexpr std::uint32_t kResultColors = 256;

void mapTrueColor(std::span<std::uint8_t* const> in, std::span<std::uint8_t* const> out,
                  std::int32_t width, NearestColorSearch& search) {
    for (std::size_t row = 0; row < in.size(); ++row) {
        const std::uint8_t* pixel = in[row];
        std::uint8_t* target = out[row];
        for (std::int32_t x = 0; x < width; ++x, pixel += 3)
            target[x] = search.Entry(search.Position(pixel[0], pixel[1], pixel[2])).tag;
    }
}

}  // namespace

ErrorNumber ZReduce::Attach(HGLOBAL handle) {
    source.Attach(handle, false, false, DepthRule::Any);
    if (source.error != 0) return source.error;
    if (source.depth != 8 && source.depth != 24) return err::ReductionNeedsEightBits;
    if (source.depth == 8) sourceTable = ColorTableOf(source);
    return 0;
}

ErrorNumber ZReduce::CountColors(std::uint32_t& distinct) {
    distinct = 0;
    if (!histogram.Allocate()) return err::OutOfMemory;
    auto rows = source.BuildRowTable();
    if (rows.empty()) return err::InvalidPicture;
    distinct = source.depth == 24 ? histogram.CountTrueColor(rows, source.width, kFourBitKeyMask)
                                  : histogram.CountIndexed(rows, source.width, sourceTable);
    return 0;
}

ErrorNumber ZReduce::CreateResult(std::uint32_t important, ZDib& result) {
    result.Create(source.width, source.height, 8, 0);
    if (result.error != 0) return result.error;
    platform::Locked block(result.handle);
    if (!block) return err::InvalidPicture;
    std::uint8_t* header = block.data();
    // Rows of an 8-bit image fit in the block Create just allocated, so the
    // product cannot overflow here.
    auto imageSize = checkedMultiply(result.rowBytes, static_cast<std::uint32_t>(result.height));
    writeLe32(header + dib::kSizeImage, static_cast<std::uint32_t>(imageSize.value_or(0)));
    writeLe32(header + dib::kClrUsed, kResultColors);
    writeLe32(header + dib::kClrImportant, important);
    std::uint8_t* table = header + dib::kHeaderSize;
    for (unsigned i = 0; i < palette.count; ++i) {
        const PaletteColor& color = palette.entries[i];
        std::uint8_t* entry = table + 4 * color.tag;
        entry[0] = color.blue;
        entry[1] = color.green;
        entry[2] = color.red;
        entry[3] = 0;
    }
    return 0;
}

ErrorNumber ZReduce::MapPixels(ZDib& result, bool dither, int bleedLimit) {
    if (!search.Prepare(std::span(palette.entries.data(), palette.count))) return err::OutOfMemory;
    auto in = source.BuildRowTable();
    auto out = result.BuildRowTable();
    if (in.empty() || out.empty()) return err::InvalidPicture;
    if (dither) {
        DitherSource pixels{in, source.width, source.depth, &sourceTable};
        if (ErrorNumber n = DiffuseErrors(pixels, search, out, bleedLimit, progress); n != 0)
            return n;
    } else if (source.depth == 24) {
        mapTrueColor(in, out, source.width, search);
    } else {
        std::array<std::uint8_t, 256> translation{};
        for (std::size_t i = 0; i < translation.size(); ++i) {
            const PaletteColor& c = sourceTable[i];
            translation[i] = search.Entry(search.Position(c.blue, c.green, c.red)).tag;
        }
        // Row padding included: the whole pixel area goes through the table.
        for (std::size_t row = 0; row < in.size(); ++row) {
            std::uint8_t* target = out[row];
            std::memcpy(target, in[row], source.rowBytes);
            for (std::uint32_t i = 0; i < source.rowBytes; ++i) target[i] = translation[target[i]];
        }
    }
    result.CommitRowTable();
    return 0;
}

}  // namespace pm32
