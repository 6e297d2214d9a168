#pragma once

#include "control/zpm32.h"

namespace pm32::control {

// Brings an incoming DIB into the control as AssignMode says. With owns set
// the control takes the block over, and frees it when the transfer fails.
void TransferWholeImage(ZPm32& control, HGLOBAL incoming, bool owns);

// Accepts a caller's DIB handle: validates it and gives a header whose colour
// count is 0 its full table size, so pixels are found where they lie.
void AcceptCallerDib(HGLOBAL handle);

}  // namespace pm32::control
