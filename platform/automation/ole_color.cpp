#include "platform/automation/ole_color.h"

#include <iterator>

namespace pm32::automation {
namespace {

// The classic system colours, by index, as 0x00BBGGRR.
constexpr std::uint32_t kSystemColors[] = {
    0xC0C0C0,  // scroll bar
    0x808000,  // desktop
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x800000,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3-D dark shadow
    0xC0C0C0,  // 3-D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
};

}  // namespace

std::uint32_t TranslateOleColor(OLE_COLOR color) {
    if ((color & 0xFF000000u) == 0x80000000u) {
        std::uint32_t index = color & 0xFFu;
        return index < std::size(kSystemColors) ? kSystemColors[index] : 0;
    }
    return color & 0x00FFFFFFu;
}

}  // namespace pm32::automation
