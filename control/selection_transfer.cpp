#include "control/selection_transfer.h"

#include <algorithm>

#include "control/dib_guard.h"
#include "control/dispids.h"
#include "control/image_combination.h"
#include "control/resize_placement.h"
#include "engine/errors.h"
#include "process/rect_copy.h"
#include "process/stretch_copy.h"

namespace pm32::control {
namespace {

constexpr std::int16_t kCentred = 0;
constexpr std::int16_t kClippedToSelection = 2;
constexpr std::int16_t kResized = 3;
constexpr std::int16_t kSmoothResize = 2;

std::int32_t narrow(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// Copies the incoming image unscaled with its top-left corner at (x, y),
// only where it lands inside the window (picture coordinates of the held
// image); nothing changes when it misses.
void placeUnscaled(ZPm32& control, HGLOBAL incoming, const ZDib& added, std::int64_t x,
                   std::int64_t y, const PictureRect& window) {
    const ZDibHolder& held = *control.Image();
    PictureRect target = Intersection(window, {0, 0, held.width, held.height});
    PictureRect landed{narrow(x), narrow(y), narrow(x + added.width), narrow(y + added.height)};
    PictureRect covered = Intersection(target, landed);
    if (IsEmpty(covered)) return;
    PictureRect source{covered.left - landed.left, covered.top - landed.top,
                       covered.right - landed.left, covered.bottom - landed.top};
    ReplaceWithChangedCopy(control, [&](HGLOBAL copy) {
        return CopyRect(incoming, source, copy, covered.left, covered.top);
    });
}

void placeScaled(ZPm32& control, HGLOBAL incoming, const ZDib& added,
                 const PictureRect& selection) {
    const ZDibHolder& held = *control.Image();
    std::int16_t resizeMode = control.I2(dispid::ResizeMode);
    bool keepProportions = resizeMode == 0 || resizeMode == 2;
    auto placement = SelectionResize(added.width, added.height, held.width, held.height, selection,
                                     keepProportions);
    if (!placement) return;
    ReplaceWithChangedCopy(control, [&](HGLOBAL copy) {
        return StretchCopy(incoming, placement->source, copy, placement->destination,
                           resizeMode == kSmoothResize);
    });
}

}  // namespace

PictureRect SelectionOf(const ZPm32& control) {
    std::int32_t left = control.I2(dispid::SelectLeft);
    std::int32_t top = control.I2(dispid::SelectTop);
    return {left, top, left + control.I2(dispid::SelectWidth),
            top + control.I2(dispid::SelectHeight)};
}

void TransferIntoSelection(ZPm32& control, HGLOBAL incoming, bool owns) {
    DibGuard block(incoming, owns);
    if (control.Image() == nullptr) {
        control.InstallImage(block.handOn(), owns);
        return;
    }
    ZDib added;
    added.Attach(incoming, false, false, DepthRule::Any);
    if (added.error != 0) Raise(added.error);
    if (added.depth != control.Image()->depth) Raise(err::DepthMismatch);

    const PictureRect selection = SelectionOf(control);
    const PictureRect everywhere{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    const std::int64_t x = control.I2(dispid::Xorigin);
    const std::int64_t y = control.I2(dispid::Yorigin);
    switch (control.I2(dispid::AssignMode)) {
        case kCentred:
            placeUnscaled(control, incoming, added,
                          selection.left + selection.Width() / 2 - added.width / 2,
                          selection.top + selection.Height() / 2 - added.height / 2, everywhere);
            return;
        case kClippedToSelection:
            placeUnscaled(control, incoming, added, selection.left + x, selection.top + y,
                          selection);
            return;
        case kResized:
            placeScaled(control, incoming, added, selection);
            return;
        default:
            placeUnscaled(control, incoming, added, selection.left + x, selection.top + y,
                          everywhere);
    }
}

}  // namespace pm32::control
