#pragma once

#include "control/zpm32.h"
#include "process/picture_rect.h"

namespace pm32::control {

// Brings an incoming DIB into the control's selection as AssignMode says: a
// control without an image takes it whole. With owns set the control takes
// the block over, and frees it when the transfer fails or is done with it.
void TransferIntoSelection(ZPm32& control, HGLOBAL incoming, bool owns);

// The control's selection rectangle from its Select properties.
PictureRect SelectionOf(const ZPm32& control);

}  // namespace pm32::control
