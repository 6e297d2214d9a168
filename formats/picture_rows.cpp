#include "formats/picture_rows.h"

#include "engine/dib_layout.h"

namespace pm32 {
namespace {

ErrorNumber checkGeometry(const ZDib& image, const platform::Locked& block) {
    if (image.handle == 0) return err::NoBitmap;
    if (!block || !isSupportedDepth(image.depth) || image.width <= 0 || image.height <= 0)
        return err::InvalidPicture;
    if (image.rowBytes != rowBytesFor(static_cast<std::uint32_t>(image.width), image.depth))
        return err::InvalidPicture;
    auto extent =
        dibBlockSize(image.colorsUsed, image.rowBytes, static_cast<std::uint32_t>(image.height));
    if (!extent || *extent > block.size()) return err::InvalidPicture;
    return 0;
}

}  // namespace

PictureRows::PictureRows(const ZDib& image)
    : block_(image.handle), error_(checkGeometry(image, block_)) {
    if (error_ != 0) return;
    pixels_ = block_.data() + image.PixelOffset();
    rowBytes_ = image.rowBytes;
    height_ = static_cast<std::uint32_t>(image.height);
}

}  // namespace pm32
