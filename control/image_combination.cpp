#include "control/image_combination.h"

#include <algorithm>

#include "control/dib_guard.h"
#include "control/dispids.h"
#include "control/engine_result.h"
#include "engine/dib_layout.h"
#include "platform/automation/ole_color.h"

namespace pm32::control {

COLORREF BackColorOf(const ZPm32& control) {
    return automation::TranslateOleColor(static_cast<std::uint32_t>(control.I4(dispid::BackColor)));
}

std::vector<PALETTEENTRY> PaletteEntriesOf(const ZPm32& control) {
    const ZPal* palette = control.Palette();
    if (palette == nullptr) return {};
    std::vector<PALETTEENTRY> entries(platform::GetPaletteEntryCount(palette->handle()));
    entries.resize(platform::GetPaletteEntries(palette->handle(), 0, entries));
    return entries;
}

PictureRect Intersection(const PictureRect& a, const PictureRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const PictureRect& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

std::uint32_t DepthOfDib(HGLOBAL handle) {
    platform::Locked block(handle);
    return block && block.size() >= dib::kHeaderSize ? readLe16(block.data() + dib::kBitCount) : 0;
}

void ReplaceWithChangedCopy(ZPm32& control, const std::function<ErrorNumber(HGLOBAL)>& change) {
    HGLOBAL copy = 0;
    RaiseIfFailed(pm32::DuplicateDib(ImageHandle(control), copy));
    DibGuard guard(copy);
    RaiseIfFailed(change(copy));
    InstallResult(control, guard.handOn());
}

}  // namespace pm32::control
