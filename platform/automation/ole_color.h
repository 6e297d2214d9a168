#pragma once

#include <cstdint>

namespace pm32::automation {

using OLE_COLOR = std::uint32_t;

// An OLE colour as 0x00BBGGRR: 0x800000nn names classic system colour nn;
// anything else keeps its low three bytes.
std::uint32_t TranslateOleColor(OLE_COLOR color);

}  // namespace pm32::automation
