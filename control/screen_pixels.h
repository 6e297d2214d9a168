#pragma once

#include <QColor>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "control/dib_holder.h"
#include "platform/global_memory.h"

namespace pm32::control {

// What the screen shows of a DIB: each pixel as the colour its colour table
// (or its own bytes at 24 bits) gives, indices past the table black. Nothing
// is converted ahead of time: a reader converts only the pixels a paint
// samples, so a paint costs what the window shows, whatever the image's size.
class ScreenPixels {
  public:
    // The block's pixels with its colour table as it stands now, or nullopt
    // when the block is not a readable uncompressed DIB. The block must stay
    // alive while readers are taken; a changed colour table needs a new object.
    static std::optional<ScreenPixels> Of(platform::HGLOBAL dib);

    std::int32_t width() const { return layout_.width; }
    std::int32_t height() const { return layout_.height; }

    // One lock on the block while a paint samples it.
    class Reader {
      public:
        explicit Reader(const ScreenPixels& pixels);
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;

        // False when the block is gone or no longer holds the image it held
        // when the pixels were taken.
        explicit operator bool() const { return valid_; }
        // The pixels of image row y (0 is the top row) at the columns, into
        // out; every row and column must lie inside the image.
        void Row(std::int32_t y, std::span<const int> columns, QRgb* out) const;

      private:
        const ScreenPixels& pixels_;
        ZDibLock lock_;
        bool valid_;
    };

  private:
    // The block's geometry as the pixels are read from it.
    struct Layout {
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::uint32_t depth = 0;
        std::uint32_t colorsUsed = 0;
        std::uint64_t rowBytes = 0;
        friend bool operator==(const Layout&, const Layout&) = default;
    };

    // The geometry of a locked block that holds a whole uncompressed image.
    static std::optional<Layout> layoutOf(const ZDibLock& lock);

    ScreenPixels(platform::HGLOBAL dib, const Layout& layout) : dib_(dib), layout_(layout) {}

    platform::HGLOBAL dib_;
    Layout layout_;
    std::array<QRgb, 256> colors_{};
};

}  // namespace pm32::control
