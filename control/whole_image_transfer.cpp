#include "control/whole_image_transfer.h"

#include <algorithm>

#include "control/cut_out.h"
#include "control/dib_guard.h"
#include "control/dispids.h"
#include "control/engine_result.h"
#include "control/image_combination.h"
#include "control/resize_placement.h"
#include "engine/dib_layout.h"
#include "engine/errors.h"
#include "process/rect_copy.h"
#include "process/stretch_copy.h"

namespace pm32::control {
namespace {

constexpr std::int16_t kUnion = 1;
constexpr std::int16_t kIntersection = 2;
constexpr std::int16_t kSmoothResize = 2;

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

Size sizeOf(HGLOBAL handle) {
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) Raise(image.error);
    return {image.width, image.height};
}

PictureRect whole(Size size) { return {0, 0, size.width, size.height}; }

// A new image covering both: the held one and the incoming one at the origin.
void combineUnion(ZPm32& control, HGLOBAL incoming, Size held, Size added, std::int64_t x,
                  std::int64_t y) {
    const std::int64_t left = std::min<std::int64_t>(0, x);
    const std::int64_t top = std::min<std::int64_t>(0, y);
    const std::int64_t width = std::max<std::int64_t>(held.width, x + added.width) - left;
    const std::int64_t height = std::max<std::int64_t>(held.height, y + added.height) - top;
    if (width > INT32_MAX || height > INT32_MAX) Raise(err::OutOfMemory);
    std::vector<PALETTEENTRY> table = PaletteEntriesOf(control);
    DibGuard combined(FilledDib(control.Image()->depth, static_cast<std::int32_t>(width),
                                static_cast<std::int32_t>(height), table, BackColorOf(control)));
    RaiseIfFailed(CopyRect(control.Image()->handle, whole(held), combined.get(),
                           static_cast<std::int32_t>(-left), static_cast<std::int32_t>(-top)));
    RaiseIfFailed(CopyRect(incoming, whole(added), combined.get(),
                           static_cast<std::int32_t>(x - left),
                           static_cast<std::int32_t>(y - top)));
    InstallResult(control, combined.handOn());
}

void combineIntersection(ZPm32& control, HGLOBAL incoming, Size held, Size added, std::int32_t x,
                         std::int32_t y) {
    bool overlaps = x < held.width && y < held.height && std::int64_t{x} + added.width > 0 &&
                    std::int64_t{y} + added.height > 0;
    if (!overlaps) return;
    ReplaceWithChangedCopy(
        control, [&](HGLOBAL copy) { return CopyRect(incoming, whole(added), copy, x, y); });
}

void combineResized(ZPm32& control, HGLOBAL incoming, Size held, Size added, std::int32_t x,
                    std::int32_t y) {
    std::int16_t resizeMode = control.I2(dispid::ResizeMode);
    bool keepProportions = resizeMode == 0 || resizeMode == 2;
    auto placement =
        WholeImageResize(added.width, added.height, held.width, held.height, x, y, keepProportions);
    if (!placement) return;
    ReplaceWithChangedCopy(control, [&](HGLOBAL copy) {
        return StretchCopy(incoming, placement->source, copy, placement->destination,
                           resizeMode == kSmoothResize);
    });
}

}  // namespace

void TransferWholeImage(ZPm32& control, HGLOBAL incoming, bool owns) {
    DibGuard block(incoming, owns);
    std::int16_t mode = control.I2(dispid::AssignMode);
    if (control.Image() == nullptr || mode == 0) {
        control.InstallImage(block.handOn(), owns);
        return;
    }
    if (DepthOfDib(incoming) != control.Image()->depth) Raise(err::DepthMismatch);
    Size held{control.Image()->width, control.Image()->height};
    Size added = sizeOf(incoming);
    std::int32_t x = control.I2(dispid::Xorigin);
    std::int32_t y = control.I2(dispid::Yorigin);
    if (mode == kUnion)
        combineUnion(control, incoming, held, added, x, y);
    else if (mode == kIntersection)
        combineIntersection(control, incoming, held, added, x, y);
    else
        combineResized(control, incoming, held, added, x, y);
}

void AcceptCallerDib(HGLOBAL handle) {
    if (ErrorNumber n = VerifyDib(handle); n != 0) Raise(n);
    platform::Locked block(handle);
    std::uint8_t* header = block.data();
    // The control's sizes are 16-bit; a longer side would read back negative.
    if (exceedsImageLimit(static_cast<std::int32_t>(readLe32(header + dib::kWidth)),
                          static_cast<std::int32_t>(readLe32(header + dib::kHeight))))
        Raise(err::BadArea);
    std::uint32_t depth = readLe16(header + dib::kBitCount);
    if (depth == 24 || readLe32(header + dib::kClrUsed) != 0) return;
    std::uint32_t full = fullTableSize(depth);
    auto needed = dibBlockSize(full, rowBytesFor(readLe32(header + dib::kWidth), depth),
                               readLe32(header + dib::kHeight));
    if (!needed || *needed > block.size()) Raise(err::InvalidPicture);
    writeLe32(header + dib::kClrUsed, full);
}

}  // namespace pm32::control
