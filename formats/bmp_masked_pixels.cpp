#include "formats/bmp_masked_pixels.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <new>

#include "engine/dib_layout.h"
#include "formats/alpha_composite.h"
#include "formats/picture_rows.h"

namespace pm32 {
namespace {

// One channel of a mask, brought to 8 bits whatever its width.
class MaskedChannel {
  public:
    explicit MaskedChannel(std::uint32_t mask)
        : mask_(mask),
          shift_(mask == 0 ? 0 : std::countr_zero(mask)),
          top_(mask == 0 ? 0 : mask >> shift_) {}

    bool present() const { return top_ != 0; }

    std::uint8_t level(std::uint32_t pixel) const {
        if (top_ == 0) return 0;
        const std::uint64_t value = (pixel & mask_) >> shift_;
        return static_cast<std::uint8_t>((value * 255 + top_ / 2) / top_);
    }

  private:
    std::uint32_t mask_;
    int shift_;
    std::uint64_t top_;
};

}  // namespace

ErrorNumber DecodeMaskedPixels(EngineFile& file, const BmpMasks& masks, std::int32_t width,
                               std::int32_t height, std::uint32_t background, ZDib& image) {
    if (width <= 0 || height <= 0) return err::BadFile;
    const std::size_t rowBytes = std::size_t{4} * static_cast<std::uint32_t>(width);
    const auto total = checkedMultiply(rowBytes, static_cast<std::uint32_t>(height));
    if (!total || *total > static_cast<std::uint64_t>(std::max<std::int64_t>(file.Remaining(), 0)))
        return err::BadFile;
    image.Create(width, height, 24, 0);
    if (image.error != 0) return image.error;
    PictureRows rows(image);
    if (rows.error() != 0) return rows.error();
    std::unique_ptr<std::uint8_t[]> stored(new (std::nothrow) std::uint8_t[rowBytes]);
    if (!stored) return err::OutOfMemory;

    const MaskedChannel red(masks.red), green(masks.green), blue(masks.blue), alpha(masks.alpha);
    const Backdrop back(background);
    const auto last = static_cast<std::uint32_t>(height) - 1;
    for (std::uint32_t i = 0; i <= last; ++i) {
        if (file.ReadBlock(stored.get(), rowBytes) != rowBytes) return err::BadFile;
        std::uint8_t* target = rows.row(last - i);
        for (std::size_t x = 0; x < static_cast<std::uint32_t>(width); ++x, target += 3) {
            const std::uint8_t* p = stored.get() + 4 * x;
            const std::uint32_t pixel = p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
            const std::uint8_t coverage = alpha.present() ? alpha.level(pixel) : 255;
            target[0] = compositeOver(blue.level(pixel), coverage, back.blue);
            target[1] = compositeOver(green.level(pixel), coverage, back.green);
            target[2] = compositeOver(red.level(pixel), coverage, back.red);
        }
    }
    return 0;
}

}  // namespace pm32
