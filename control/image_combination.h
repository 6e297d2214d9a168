#pragma once

#include <functional>
#include <vector>

#include "control/zpm32.h"
#include "process/picture_rect.h"

namespace pm32::control {

// The control's BackColor as 0x00BBGGRR: the fill where a combination or a
// cut-out leaves the pixels uncovered.
COLORREF BackColorOf(const ZPm32& control);

// The entries of the control's palette; empty when it has none, as with a
// 24-bit image.
std::vector<PALETTEENTRY> PaletteEntriesOf(const ZPm32& control);

// The rectangle both cover; empty (right <= left or bottom <= top) when they
// do not meet.
PictureRect Intersection(const PictureRect& a, const PictureRect& b);
bool IsEmpty(const PictureRect& rect);

// The depth recorded in a DIB's header, 0 when the block cannot be read.
std::uint32_t DepthOfDib(HGLOBAL handle);

// Applies the change to a copy of the control's image and installs the copy;
// when the change fails the copy is freed and the image stays as it was.
void ReplaceWithChangedCopy(ZPm32& control, const std::function<ErrorNumber(HGLOBAL)>& change);

}  // namespace pm32::control
