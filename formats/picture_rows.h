#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/zdib.h"

namespace pm32 {

// The pixel rows of an image record, locked for the guard's lifetime and
// addressed by picture row: row 0 is the top of the picture, which a DIB
// stores last.
class PictureRows {
  public:
    explicit PictureRows(const ZDib& image);

    // 0 when the record's geometry is one the engine makes and its rows lie
    // inside the block; err::NoBitmap without a block, else err::InvalidPicture. Rows may be used
    // only when this is 0.
    ErrorNumber error() const { return error_; }

    std::uint8_t* row(std::uint32_t y) const {
        return pixels_ + static_cast<std::size_t>(height_ - 1 - y) * rowBytes_;
    }

  private:
    platform::Locked block_;
    ErrorNumber error_ = 0;
    std::uint8_t* pixels_ = nullptr;
    std::size_t rowBytes_ = 0;
    std::uint32_t height_ = 0;
};

}  // namespace pm32
