#include <cstring>

#include "engine/diagnostics.h"
#include "formats/diagnostic_locations.h"
#include "formats/gif.h"
#include "formats/gif_image.h"

namespace pm32 {
namespace {

// Memory blocks come from database fields written as plain GIF87a files: one
// image right after the colour table, no extensions.
ErrorNumber decode(std::span<const std::uint8_t> block, ZDib& image) {
    if (block.size() < gif::kHeaderBytes || !gif::hasSignature(block) ||
        std::memcmp(block.data() + 3, "87a", 3) != 0)
        return reportFailure(err::BadFile, location::GifMemoryRefused);
    std::uint8_t screenFlags = block[gif::kScreenFlags];
    // A depth of 2 goes on to image creation, which refuses it.
    std::uint32_t depth = gif::screenDepth(screenFlags);

    gif::ColorBuffer colors{};
    std::size_t at = gif::kHeaderBytes;
    if ((screenFlags & gif::kColorTableFlag) != 0) {
        std::size_t bytes = gif::tableBytes(screenFlags);
        if (block.size() - at < bytes)
            return reportFailure(err::BadFile, location::GifMemoryRefused);
        gif::readColorTable(block.subspan(at, bytes), colors);
        at += bytes;
    }
    if (block.size() - at < 1 + gif::kDescriptorBytes || block[at] != ',')
        return reportFailure(err::BadFile, location::GifMemoryRefused);
    gif::ImageDescriptor descriptor =
        gif::parseDescriptor(block.subspan(at + 1).first<gif::kDescriptorBytes>());
    at += 1 + gif::kDescriptorBytes;
    if ((descriptor.flags & gif::kColorTableFlag) != 0) {
        std::size_t bytes = gif::tableBytes(descriptor.flags);
        if (block.size() - at < bytes)
            return reportFailure(err::BadFile, location::GifMemoryRefused);
        gif::readColorTable(block.subspan(at, bytes), colors);
        at += bytes;
    }

    image.Create(descriptor.width, descriptor.height, gif::depthForImage(depth, descriptor.flags),
                 0);
    if (image.error != 0) return image.error;
    image.SetPalette(colors, true);
    int result = gif::decodeImageData(block.subspan(at), image,
                                      (descriptor.flags & gif::kInterlaceFlag) != 0, nullptr);
    return gif::settleDecoding(result, image);
}

}  // namespace

ZDib DecodeGifMemory(std::span<const std::uint8_t> block) {
    ZDib image;
    ErrorNumber result = decode(block, image);
    if (result != 0) {
        image.Reset();
        image.error = result;
    }
    return image;
}

}  // namespace pm32
