#include "process/picture_rect.h"

namespace pm32 {

bool LiesWithin(const PictureRect& rect, std::int32_t width, std::int32_t height) {
    return rect.left >= 0 && rect.left < rect.right && rect.right <= width && rect.top >= 0 &&
           rect.top < rect.bottom && rect.bottom <= height;
}

}  // namespace pm32
